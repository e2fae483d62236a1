// The state evaluation against the routine of commit 28bdea6 (frozen in the
// test support): all 66 slots, and the polynomial arrays left behind, equal
// as 10-byte patterns, on the real excerpts, on records of random and extreme
// coefficients, on records off the 32-day grid, and at every sub-interval
// boundary.
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

#include "driver/fpu.hpp"
#include "ephemeris/state_evaluation.hpp"
#include "support/de_excerpt.hpp"
#include "support/frozen_state_routine.hpp"
#include "support/scratch_dir.hpp"

namespace {

using Values = std::vector<double>;  // 1139 values, [0] unused

bool same_bits(const long double* a, const long double* b, int n) {
    for (int i = 0; i < n; ++i)
        if (std::memcmp(&a[i], &b[i], 10) != 0) return false;
    return true;
}

// Compares one record and date; returns 1 (a case) for the count.
int expect_identical(const Values& record, long double date) {
    long double want[66], got[66];
    long double tc[16] = {}, tcp[16] = {};
    frozen_28bdea6::evaluate(record.data(), date, want);
    ephemeris::evaluate_state(record.data(), {tc, tcp}, date, 1, got);
    // The frozen arrays hold its earlier calls above the degrees used here.
    EXPECT_TRUE(same_bits(got, want, 66)) << "date " << date << " start " << record[1];
    EXPECT_TRUE(same_bits(tc, frozen_28bdea6::frozen_tc(), 14));
    EXPECT_TRUE(same_bits(tcp, frozen_28bdea6::frozen_tcp(), 14));
    return 1;
}

// Dates at every sub-interval boundary of a record from `start` (lengths 4
// to 32 all fall on multiples of 4), their neighbours, and random dates.
std::vector<long double> dates_in(long double start, long double length, std::mt19937_64& random) {
    std::vector<long double> dates;
    for (int j = 0; j <= 8; ++j) {
        const long double at = start + 4.0L * j * (length / 32);
        dates.insert(dates.end(), {at, std::nextafter(at, -1e9L), std::nextafter(at, 1e9L)});
    }
    for (int i = 0; i < 20; ++i) dates.push_back(start + length * std::ldexp(static_cast<long double>(random() >> 1), -63));
    return dates;
}

double extreme(std::mt19937_64& random) {
    static const double values[] = {0.0, -0.0, 5e-324, -2.2250738585072009e-308, 1e300, -1e300,
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::signaling_NaN(), 1.0, -3.5e7};
    return values[random() % (sizeof values / sizeof values[0])];
}

// Any 64-bit pattern: every exponent, subnormals, infinities and NaNs.
double any_bits(std::mt19937_64& random) {
    const uint64_t bits = random();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

Values synthetic(double start, double end, std::mt19937_64& random, int kind) {
    Values r(1139);
    r[1] = start;
    r[2] = end;
    std::uniform_real_distribution<double> ephemeris_size(-2e8, 2e8);
    for (int i = 3; i <= 1138; ++i) {
        r[i] = kind == 0 ? ephemeris_size(random) : kind == 1 ? extreme(random) : any_bits(random);
        if (kind == 1 && random() % 3 == 0) r[i] = ephemeris_size(random);
    }
    return r;
}

TEST(StateIdentity, SyntheticRecordsOnAndOffTheGrid) {
    vkrt::reset_floating_point_unit();
    std::mt19937_64 random(20);
    int cases = 0;
    // Grid starts, then starts off the grid (some not exactly representable
    // sums, so te - ts can miss the sub-interval length), and huge ones.
    const double starts[] = {2451536.5, 2287184.5, 2688944.5, 2451536.3, 2451540.123456789,
                             1e-300, 0.0, 1e15 + 0.1, -1e300, 1e300};
    for (const double start : starts) {
        for (int kind = 0; kind < 3; ++kind) {
            const Values record = synthetic(start, start + 32, random, kind);
            for (const long double date : dates_in(start, 32, random)) cases += expect_identical(record, date);
        }
    }
    // A record shorter or longer than 32 days.
    for (const double length : {31.5, 33.0}) {
        const Values record = synthetic(2451536.5, 2451536.5 + length, random, 0);
        for (const long double date : dates_in(2451536.5, length, random)) cases += expect_identical(record, date);
    }
    std::printf("%d synthetic cases\n", cases);
}

TEST(StateIdentity, TheRealExcerpts) {
    testing_support::ScratchDir dir;
    const std::string path = dir.file("15502650.440");
    if (!testing_support::write_data_file_from_excerpts(path)) GTEST_SKIP() << "shared DE440 data not present";
    vkrt::reset_floating_point_unit();
    std::mt19937_64 random(21);
    const int fd = ::open(path.c_str(), O_RDONLY);
    int cases = 0;
    for (int n = 1; n <= 12556; ++n) {
        Values record(1139);
        ASSERT_EQ(::pread(fd, &record[1], 9104, static_cast<off_t>(n - 1) * 9104), 9104);
        if (record[1] == 0.0) continue;
        for (const long double date : dates_in(record[1], 32, random)) cases += expect_identical(record, date);
    }
    ::close(fd);
    EXPECT_EQ(cases, 18 * 47);
    std::printf("%d cases on the excerpts\n", cases);
}

}  // namespace
