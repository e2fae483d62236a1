// The library against the program's state routine: the same 10-byte
// patterns in every slot on the real excerpts, every status with the state
// left as it was, handles in two threads, and the caller's x87 settings.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "support/de_excerpt.hpp"
#include "support/ephemeris_run.hpp"
#include "support/record_file.hpp"
#include "support/scratch_dir.hpp"
#include "vorkane.h"

namespace {

using testing_support::Record;
using testing_support::RecordFile;
using testing_support::ScratchDir;
using testing_support::State;

// The span as published, independent of the program's definition.
constexpr long double tmin = 2287184.5L, tmax = 2688976.5L;

bool same_bits(const long double* a, const long double* b) {
    for (int i = 0; i < 66; ++i)
        if (std::memcmp(&a[i], &b[i], 10) != 0) return false;
    return true;
}

struct Handle {
    explicit Handle(const std::string& path) { error = vorkane_open(path.c_str(), &eph); }
    ~Handle() { vorkane_close(eph); }
    vorkane_ephemeris* eph = nullptr;
    int error;
};

// Dates spread at random over the records of both excerpts, with the
// reference dates and the first and last dates of each excerpt.
std::vector<long double> excerpt_dates() {
    std::vector<long double> dates = {2451545.0L, 2451620.25L, 2454250.75L, 2451504.5L,
                                      std::nextafter(2451696.5L, 0.0L), 2454096.5L, std::nextafter(2454480.5L, 0.0L)};
    std::mt19937_64 random(20261210);
    for (int i = 0; i < 300; ++i) {
        const bool first = i % 2 == 0;
        const long double start = first ? 2451504.5L : 2454096.5L;
        const long double span = first ? 192.0L : 384.0L;
        dates.push_back(start + span * std::ldexp(static_cast<long double>(random() >> 1), -63));
    }
    return dates;
}

TEST(Library, SlotsEqualTheProgramsOnTheExcerpts) {
    ScratchDir dir;
    if (!testing_support::write_data_file_from_excerpts(dir.file("15502650.440")))
        GTEST_SKIP() << "shared DE440 data not present";
    const std::vector<long double> dates = excerpt_dates();
    const auto program = testing_support::run_states(dir.path(), dates);
    ASSERT_EQ(program.states.size(), dates.size()) << program.result.err;
    Handle h(dir.file("15502650.440"));
    ASSERT_EQ(h.error, 0);
    for (size_t i = 0; i < dates.size(); ++i) {
        long double state[66];
        ASSERT_EQ(vorkane_state(h.eph, dates[i], state), VORKANE_OK);
        EXPECT_TRUE(same_bits(state, program.states[i].data())) << "date " << dates[i];
    }
}

TEST(Library, StatusesLeaveTheStateAsItWas) {
    ScratchDir dir;
    RecordFile file(dir.file("15502650.440"));
    file.put(5137, testing_support::grid_record(5137));  // record 5136 stays all zero
    const long double inf = std::numeric_limits<long double>::infinity();
    const struct {
        long double date;
        int status;
    } cases[] = {
        {std::nextafter(tmax, inf), VORKANE_DATE_OUT_OF_RANGE},
        {std::nextafter(tmin, 0.0L), VORKANE_DATE_OUT_OF_RANGE},
        {inf, VORKANE_DATE_OUT_OF_RANGE},
        {-inf, VORKANE_DATE_OUT_OF_RANGE},
        {std::numeric_limits<long double>::quiet_NaN(), VORKANE_DATE_OUT_OF_RANGE},
        {2451530.0L, VORKANE_RECORD_NOT_BRACKETING},
        {2451530.0L, VORKANE_RECORD_NOT_BRACKETING},  // not held after a failed check
        {tmax, VORKANE_RECORD_MISSING},               // record 12557
        {2451545.0L, VORKANE_OK},
    };
    Handle h(dir.file("15502650.440"));
    ASSERT_EQ(h.error, 0);
    for (const auto& c : cases) {
        long double state[66];
        for (long double& slot : state) slot = 7.0L;
        EXPECT_EQ(vorkane_state(h.eph, c.date, state), c.status) << c.date;
        if (c.status != VORKANE_OK) EXPECT_EQ(state[0], 7.0L);
        else EXPECT_EQ(state[65], 0.0L);
    }
    // A record the file holds only in part.
    file.resize(5137LL * 9104 - 8);
    Handle partial(dir.file("15502650.440"));
    long double state[66];
    EXPECT_EQ(vorkane_state(partial.eph, 2451545.0L, state), VORKANE_RECORD_MISSING);
    EXPECT_STREQ(vorkane_status_text(VORKANE_RECORD_MISSING), "Non-existing record number");
}

TEST(Library, OpenNeverCreatesAndAFailedReadSetsErrno) {
    ScratchDir dir;
    vorkane_ephemeris* eph = reinterpret_cast<vorkane_ephemeris*>(&dir);
    EXPECT_EQ(vorkane_open(dir.file("absent").c_str(), &eph), ENOENT);
    EXPECT_EQ(eph, nullptr);
    EXPECT_FALSE(dir.exists("absent"));
    EXPECT_EQ(vorkane_open(dir.path().c_str(), &eph), EISDIR);

    RecordFile file(dir.file("data"));
    // The handle takes the lowest free descriptor; closing it under the
    // handle makes the next read fail.
    const int lowest = ::open("/dev/null", O_RDONLY);
    ::close(lowest);
    ASSERT_EQ(vorkane_open(dir.file("data").c_str(), &eph), 0);
    ::close(lowest);
    long double state[66];
    errno = 0;
    EXPECT_EQ(vorkane_state(eph, 2451545.0L, state), VORKANE_READ_FAILED);
    EXPECT_EQ(errno, EBADF);
    vorkane_close(eph);
}

// A record with every coefficient random, so that every slot depends on it.
Record random_record(int n, std::mt19937_64& random) {
    Record r = testing_support::grid_record(n);
    std::uniform_real_distribution<double> coefficient(-1e8, 1e8);
    for (int i = 2; i < 1138; ++i) r[i] = coefficient(random);
    return r;
}

std::vector<State> states_of(vorkane_ephemeris* eph, const std::vector<long double>& dates) {
    std::vector<State> states(dates.size());
    for (size_t i = 0; i < dates.size(); ++i)
        if (vorkane_state(eph, dates[i], states[i].data()) != VORKANE_OK) states[i].fill(-1.0L);
    return states;
}

TEST(Library, TwoHandlesInTwoThreadsAgreeWithOne) {
    ScratchDir dir;
    RecordFile file(dir.file("data"));
    std::mt19937_64 random(7);
    std::vector<long double> dates;
    for (int n = 5000; n < 5008; ++n) {
        file.put(n, random_record(n, random));
        for (int k = 0; k < 50; ++k) dates.push_back(tmin + 32.0L * (n - 1) + (k * 37 % 64) * 0.5L);
    }
    std::vector<long double> reversed(dates.rbegin(), dates.rend());
    Handle one(dir.file("data")), a(dir.file("data")), b(dir.file("data"));
    const auto expected = states_of(one.eph, dates);
    std::vector<State> got_a, got_b;
    std::thread ta([&] { for (int i = 0; i < 20; ++i) got_a = states_of(a.eph, dates); });
    std::thread tb([&] { for (int i = 0; i < 20; ++i) got_b = states_of(b.eph, reversed); });
    ta.join();
    tb.join();
    for (size_t i = 0; i < dates.size(); ++i) {
        EXPECT_TRUE(same_bits(got_a[i].data(), expected[i].data())) << i;
        EXPECT_TRUE(same_bits(got_b[dates.size() - 1 - i].data(), expected[i].data())) << i;
    }
}

TEST(Library, EvaluatesInExtendedPrecisionWhateverTheCallerSet) {
    ScratchDir dir;
    RecordFile file(dir.file("data"));
    std::mt19937_64 random(11);
    file.put(5137, random_record(5137, random));
    Handle h(dir.file("data"));
    State expected, got;
    ASSERT_EQ(vorkane_state(h.eph, 2451545.3L, expected.data()), VORKANE_OK);
    // 53-bit significands, rounding upward, invalid operations unmasked.
    const uint16_t caller = 0x0A7E;
    uint16_t after;
    asm volatile("fnclex\n\tfldcw %0" : : "m"(caller));
    const int status = vorkane_state(h.eph, 2451545.3L, got.data());
    asm volatile("fnstcw %0" : "=m"(after));
    const uint16_t standard = 0x037F;
    asm volatile("fldcw %0" : : "m"(standard));
    EXPECT_EQ(status, VORKANE_OK);
    EXPECT_EQ(after, caller);
    EXPECT_TRUE(same_bits(got.data(), expected.data()));
}

}  // namespace
