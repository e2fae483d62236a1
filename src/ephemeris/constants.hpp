// Constants of the ephemeris: the date range of the data file, the record
// layout of each body's Chebyshev series (both taken from the file layout),
// the astronomical unit and the Moon's mass share. The two physical constants
// are given as their exact extended-precision bit patterns (a 64-bit
// significand in a hexadecimal literal): rounded to double precision either
// would become another value.
#pragma once

#include <cstdint>

#include "ephemeris/file_layout.hpp"

namespace ephemeris {

// Range of the data file: the first and last dates accepted, and the days
// covered by one record (the binary64 values widen exactly).
inline constexpr long double tmin = first_date;
inline constexpr long double tmax = last_date;
inline constexpr long double record_span = record_days;

inline constexpr int32_t data_unit = 30;

// Astronomical unit in km: biased exponent 0x401A, significand 0x8EAAEAEB33333333.
inline constexpr long double au = 0x8EAAEAEB33333333p-36L;
// Moon's share of the Earth-Moon mass: exponent 0x3FF8, significand 0xC7133EA6DF387332.
inline constexpr long double moon_share = 0xC7133EA6DF387332p-70L;

inline constexpr long double zero = 0.0L;
inline constexpr long double one = 1.0L;
inline constexpr long double two = 2.0L;
inline constexpr long double four = 4.0L;

// Where each body's series lie in a record: the 1-based index of its first
// coefficient, the degree, the values per sub-interval (0 when there is only
// one, where it is only ever multiplied by 0), the number of sub-intervals
// and the sub-interval length in days.
struct SeriesLayout {
    int32_t start;
    int32_t degree;
    int32_t stride;
    int32_t sub_intervals;
    long double length;
};

// Row `body` of the table below, from the file layout (row 0 is unused).
constexpr SeriesLayout series_layout(int body) {
    if (body == 0) return {0, 0, 0, 0, 0.0L};
    const Series& s = series[body - 1];
    const int32_t stride = s.sub_intervals == 1 ? 0 : sub_interval_values(s);
    return {s.start, s.degree, stride, s.sub_intervals, record_span / s.sub_intervals};
}

// Indexed by body number 1 to 11 (entry 0 unused).
inline constexpr SeriesLayout nper[body_count + 1] = {
    series_layout(0), series_layout(1), series_layout(2),  series_layout(3),
    series_layout(4), series_layout(5), series_layout(6),  series_layout(7),
    series_layout(8), series_layout(9), series_layout(10), series_layout(11),
};

}  // namespace ephemeris
