// The layout of the data file 15502650.440, defined here once for every user:
// the program and the library, the data tool, the tests' and benchmarks' data
// files, and the scripts, which read the values below by name (keep each on
// one line in this form). Header-only and free of dependencies, so that any
// part of the tree may include it.
#pragma once

#include <cstdint>

namespace ephemeris {

// Record n (1 to record_count) is the record_bytes bytes at (n - 1) *
// record_bytes: record_values little-endian binary64 values, the first two
// the start and end dates, record_days apart. Record 1 starts at first_date.
inline constexpr int record_values = 1138;
inline constexpr int32_t record_bytes = record_values * 8;
inline constexpr int record_count = 12556;
inline constexpr double first_date = 2287184.5;
inline constexpr double record_days = 32.0;

inline constexpr int64_t file_bytes = int64_t{record_count} * record_bytes;  // 114309824
inline constexpr double last_date = first_date + record_count * record_days;  // 2688976.5

// Where each body's Chebyshev series lie in a record: the 1-based index of
// its first coefficient, the degree and the sub-intervals that split the
// record's 32 days evenly. Each sub-interval holds degree + 1 coefficients of
// x, then of y, then of z; the sub-intervals follow one another in time.
struct Series {
    const char* body;
    int32_t start;
    int32_t degree;
    int32_t sub_intervals;
};

inline constexpr int body_count = 11;

// Row k - 1 is body k; values 3 to 818 of a record.
inline constexpr Series series[body_count] = {
    {"Mercury", 3, 13, 4},
    {"Venus", 171, 9, 2},
    {"Earth-Moon barycentre", 231, 12, 2},
    {"Mars", 309, 10, 1},
    {"Jupiter", 342, 7, 1},
    {"Saturn", 366, 6, 1},
    {"Uranus", 387, 5, 1},
    {"Neptune", 405, 5, 1},
    {"Pluto", 423, 5, 1},
    {"Moon", 441, 12, 8},  // relative to the Earth
    {"Sun", 753, 10, 2},
};

// Record values per sub-interval of a body: three coordinates' series.
constexpr int32_t sub_interval_values(const Series& s) { return 3 * (s.degree + 1); }

// The values a record needs at least: the dates and every series.
inline constexpr int series_values = series[body_count - 1].start - 1 +
                                     series[body_count - 1].sub_intervals *
                                         sub_interval_values(series[body_count - 1]);

}  // namespace ephemeris
