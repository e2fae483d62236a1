// The state routine in child processes over synthetic data files: record
// choice at the edges of records and of the range, the ways a call ends the
// run, the record cache, and the assembly of heliocentric states in their
// order of operations.
#include <cmath>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <limits>
#include <string>

#include "support/ephemeris_run.hpp"
#include "support/record_file.hpp"
#include "support/scratch_dir.hpp"

namespace {

using testing_support::grid_record;
using testing_support::Record;
using testing_support::RecordFile;
using testing_support::run_states;
using testing_support::ScratchDir;
using testing_support::StateRun;

const std::string data_name = "15502650.440";
// The span and the series layout are written out here as DE440 publishes
// them, independent evidence against the program's own definition.
constexpr long double tmin = 2287184.5L, tmax = 2688976.5L;

// The astronomical unit and the Moon's mass share from their significands
// and biased exponents, formed here by exact scaling.
const long double au = std::ldexp(static_cast<long double>(0x8EAAEAEB33333333ULL), 0x401A - 16383 - 63);
const long double q = std::ldexp(static_cast<long double>(0xC7133EA6DF387332ULL), 0x3FF8 - 16383 - 63);

// Start index and sub-interval length of each body's series (1-based values).
constexpr int start_index[11] = {3, 171, 231, 309, 342, 366, 387, 405, 423, 441, 753};
constexpr int degree[11] = {13, 9, 12, 10, 7, 6, 5, 5, 5, 12, 10};
constexpr int stride[11] = {42, 30, 39, 0, 0, 0, 0, 0, 0, 39, 33};
constexpr int intervals[11] = {4, 2, 2, 1, 1, 1, 1, 1, 1, 8, 2};

// Sets coefficient k of coordinate j (0-based) of body b (1-based) in every
// sub-interval.
void set_coefficient(Record& r, int b, int j, int k, double value) {
    for (int m = 0; m < intervals[b - 1]; ++m) {
        r[start_index[b - 1] - 1 + stride[b - 1] * m + j * (degree[b - 1] + 1) + k] = value;
    }
}

// Record n whose Mercury x is `mercury` km (by default n) at every date.
Record numbered_record(int n, int mercury = 0) {
    Record r = grid_record(n);
    set_coefficient(r, 1, 0, 0, mercury != 0 ? mercury : n);
    return r;
}

std::string range_stop() { return "STOP Date out of fund de440 (1549.12.21 - 2650.01.25)\n"; }
std::string read_error(const std::string& message) {
    return "At line 35 of file vorkane (unit = 30, file = '15502650.440')\nRun-time error: " + message + "\n";
}

TEST(StateRoutine, ChoosesTheRecordAtTheEdgesOfRecordsAndOfTheRange) {
    ScratchDir dir;
    RecordFile file(dir.file(data_name));
    for (int n : {1, 2, 5136, 5137, 12556}) file.put(n, numbered_record(n));
    struct Case {
        long double date;
        int record;
    };
    const Case cases[] = {
        {tmin, 1},
        {std::nextafter(tmin + 32, 0.0L), 1},
        {tmin + 32, 2},
        {2451545.0L, 5137},
        {2451536.5L, 5137},
        {std::nextafter(2451536.5L, 0.0L), 5136},
        {tmax - 32, 12556},
        {std::nextafter(tmax, 0.0L), 12556},
    };
    for (const Case& c : cases) {
        StateRun run = run_states(dir.path(), {c.date});
        ASSERT_EQ(run.states.size(), 1u) << run.result.err;
        EXPECT_EQ(run.states[0][0], static_cast<long double>(c.record) / au) << (double)c.date;
        EXPECT_EQ(run.result.err, "");
    }
}

TEST(StateRoutine, EndsTheRunOnDatesOutOfRangeAndOnBadRecords) {
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    const long double inf = std::numeric_limits<long double>::infinity();
    struct Case {
        const char* what;
        bool file;  // a data file of 12556 records exists
        long double date;
        int status;
        std::string err;
        bool file_after;  // the data file exists afterwards
    };
    const Case cases[] = {
        {"tmax, one past the last record", true, tmax, 2, read_error("Non-existing record number"), true},
        {"just above tmax", false, std::nextafter(tmax, inf), 0, range_stop(), false},
        {"just below tmin", false, std::nextafter(tmin, 0.0L), 0, range_stop(), false},
        {"plus infinity", false, inf, 0, range_stop(), false},
        {"minus infinity", false, -inf, 0, range_stop(), false},
        {"subnormal: the comparison raises the denormal flag", false,
         std::numeric_limits<long double>::denorm_min(), 0,
         "Note: The following floating-point exceptions are signalling: IEEE_DENORMAL\n" + range_stop(), false},
        {"NaN", false, nan, 2, read_error("Record number must be positive"), true},
        {"no data file", false, 2451545.0L, 2, read_error("Non-existing record number"), true},
        {"record of zeros", true, 2451545.0L, 0, "STOP incorrect record was read from fund\n", true},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        if (c.file) RecordFile file(dir.file(data_name));
        StateRun run = run_states(dir.path(), {c.date});
        EXPECT_EQ(run.result.exit_status, c.status) << c.what;
        EXPECT_EQ(run.result.err, c.err) << c.what;
        EXPECT_TRUE(run.states.empty()) << c.what;
        EXPECT_EQ(dir.exists(data_name), c.file_after) << c.what;
        if (!c.file && c.file_after) {
            EXPECT_EQ(dir.read(data_name), "") << c.what;
        }
    }
}

// The record's values are widened as they arrive, so an unused subnormal or
// signalling NaN among them raises its flag even when the record is refused.
TEST(StateRoutine, WideningTheRecordRaisesItsFlags) {
    const struct {
        double value;
        std::string note;
    } cases[] = {
        {std::numeric_limits<double>::denorm_min(), "IEEE_DENORMAL"},
        {std::numeric_limits<double>::signaling_NaN(), "IEEE_INVALID_FLAG"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        RecordFile file(dir.file(data_name));
        Record r{};
        r[1137] = c.value;
        file.put(5137, r);
        StateRun run = run_states(dir.path(), {2451545.0L});
        EXPECT_EQ(run.result.err, "Note: The following floating-point exceptions are signalling: " + c.note +
                                      "\nSTOP incorrect record was read from fund\n");
    }
}

TEST(StateRoutine, RefusesARecordWhoseDatesDoNotBracketTheDate) {
    struct Case {
        double start_shift, end_shift;  // days added to the grid dates
        long double date;
        bool stops;
    };
    const long double start = 2451536.5L;
    const Case cases[] = {
        {1, 0, start, true},                           // date before the start date
        {0, -1, start + 31.5L, true},                  // date after the end date
        {0, -1, start + 31, false},                    // the end date itself passes
        {1, 1, start + 1, false},                      // the start date itself passes
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        RecordFile file(dir.file(data_name));
        Record r = numbered_record(5137);
        r[0] += c.start_shift;
        r[1] += c.end_shift;
        file.put(5137, r);
        StateRun run = run_states(dir.path(), {c.date});
        EXPECT_EQ(run.result.exit_status, 0);
        EXPECT_EQ(run.result.err, c.stops ? "STOP incorrect record was read from fund\n" : "")
            << (double)c.date;
        EXPECT_EQ(run.states.size(), c.stops ? 0u : 1u);
    }
}

// Only a record just read is checked against the date: a later date in the
// record held passes even where the record's own dates would refuse it.
TEST(StateRoutine, TheRecordHeldIsNotCheckedAgain) {
    const long double start = 2451536.5L;
    ScratchDir dir;
    RecordFile file(dir.file(data_name));
    Record r = numbered_record(5137);
    r[0] += 1;  // the record claims to start a day late
    file.put(5137, r);
    StateRun run = run_states(dir.path(), {start + 1, start + 0.5L});
    EXPECT_EQ(run.result.exit_status, 0);
    EXPECT_EQ(run.result.err, "");
    EXPECT_EQ(run.states.size(), 2u);
}

// Replaces record 5137 of the data file in place with one whose Mercury is
// at 7 km, without touching the rest of the file.
void overwrite_record_5137() {
    const Record r = numbered_record(5137, 7);
    const int fd = ::open(data_name.c_str(), O_WRONLY);
    const ssize_t done = ::pwrite(fd, r.data(), sizeof r, off_t{5136} * sizeof r);
    ::close(fd);
    if (done != static_cast<ssize_t>(sizeof r)) ::_exit(124);
}

TEST(StateRoutine, ReadsARecordOnlyWhenTheDateLeavesTheRecordHeld) {
    ScratchDir dir;
    RecordFile file(dir.file(data_name));
    for (int n : {5137, 5138}) file.put(n, numbered_record(n));
    // Record 5137 changes on disk after the first call: a second date in the
    // same record still sees the record held, and only leaving the record
    // and coming back reads the new content.
    StateRun run = run_states(dir.path(), {2451545.0L, 2451567.0L, 2451570.0L, 2451545.0L}, 1, 0.0L,
                              overwrite_record_5137);
    ASSERT_EQ(run.states.size(), 4u) << run.result.err;
    const long double want[4] = {5137, 5137, 5138, 7};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(run.states[i][0], want[i] / au) << i;
}

// Record 5137 with every body's coordinate j given by T_0 and T_1 terms:
// at the record start (x = -1) the position is c0 - c1 and the velocity
// c1 * 2 / L, both exact. c0 are km-sized values with fractions, c1 small
// integers.
struct Assembly {
    Record record = grid_record(5137);
    long double raw[11][6];  // what each body's series give, in km and km/day
};

Assembly assembly_record() {
    const int length[11] = {8, 16, 16, 32, 32, 32, 32, 32, 32, 4, 16};
    Assembly a;
    uint64_t seed = 0x9E3779B97F4A7C15ULL;
    for (int b = 1; b <= 11; ++b) {
        for (int j = 0; j < 3; ++j) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            const double scale = b == 10 ? 4.0e5 : 3.0e9;
            const double c0 = std::ldexp(static_cast<double>(seed >> 11), -53) * scale - scale / 2;
            const double c1 = static_cast<double>((seed >> 7) % 2000) - 1000;
            set_coefficient(a.record, b, j, 0, c0);
            set_coefficient(a.record, b, j, 1, c1);
            a.raw[b - 1][j] = static_cast<long double>(c0) - c1;
            a.raw[b - 1][j + 3] = c1 * (2.0L / length[b - 1]);
        }
    }
    return a;
}

TEST(StateRoutine, AssemblesEarthMoonAndSunInTheirOrderOfOperations) {
    ScratchDir dir;
    const Assembly a = assembly_record();
    RecordFile(dir.file(data_name)).put(5137, a.record);
    const long double date = 2451536.5L;
    StateRun run = run_states(dir.path(), {date});
    StateRun positions = run_states(dir.path(), {date}, 0, std::numeric_limits<long double>::quiet_NaN());
    ASSERT_EQ(run.states.size(), 1u) << run.result.err;
    ASSERT_EQ(positions.states.size(), 1u) << positions.result.err;
    const auto& s = run.states[0];
    const auto& sun = a.raw[10];

    int moon_order_matters = 0, true_division_matters = 0;
    for (int n = 0; n < 6; ++n) {
        const long double earth = a.raw[2][n] - a.raw[9][n] * q;
        const long double moon = earth + a.raw[9][n];
        EXPECT_EQ(s[12 + n], (earth - sun[n]) / au) << n;
        EXPECT_EQ(s[54 + n], (moon - sun[n]) / au) << n;
        moon_order_matters += (a.raw[2][n] + (1.0L - q) * a.raw[9][n]) != moon;
        for (int b = 0; b < 9; ++b) {
            if (b == 2) continue;
            const long double heliocentric = a.raw[b][n] - sun[n];
            EXPECT_EQ(s[6 * b + n], heliocentric / au) << b << " " << n;
            true_division_matters += heliocentric * (1.0L / au) != heliocentric / au;
        }
        EXPECT_EQ(s[60 + n], 0.0L);
        EXPECT_FALSE(std::signbit(s[60 + n]));
        // Without velocities: the same positions, every velocity slot +0
        // whatever the array held before.
        const auto& p = positions.states[0];
        for (int b = 0; b < 11; ++b) {
            const long double got = p[6 * b + n];
            const bool ok = n < 3 ? got == s[6 * b + n] : got == 0.0L && !std::signbit(got);
            EXPECT_TRUE(ok) << b << " " << n;
        }
    }
    // The data tell this order apart from the tempting alternatives.
    EXPECT_GT(moon_order_matters, 0);
    EXPECT_GT(true_division_matters, 0);
}

}  // namespace
