// Constants of the ephemeris: the date range of the data file, the record
// layout of each body's Chebyshev series, the astronomical unit and the
// Moon's mass share. The two physical constants are given as their exact
// extended-precision bit patterns (a 64-bit significand in a hexadecimal
// literal): rounded to double precision either would become another value.
#pragma once

#include <cstdint>

namespace ephemeris {

// Range of the data file: the first and last dates accepted, and the days
// covered by one record.
inline constexpr long double tmin = 2287184.5L;
inline constexpr long double tmax = 2688976.5L;
inline constexpr long double record_span = 32.0L;

// One record: 1138 binary64 values, 9104 bytes.
inline constexpr int record_values = 1138;
inline constexpr int32_t record_bytes = record_values * 8;
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
// one), the number of sub-intervals (32 days over their length) and the
// sub-interval length in days.
struct SeriesLayout {
    int32_t start;
    int32_t degree;
    int32_t stride;
    int32_t sub_intervals;
    long double length;
};

inline constexpr int body_count = 11;

// Indexed by body number 1 to 11 (entry 0 unused).
inline constexpr SeriesLayout nper[body_count + 1] = {
    {0, 0, 0, 0, 0.0L},
    {3, 13, 42, 4, 8.0L},     // Mercury
    {171, 9, 30, 2, 16.0L},   // Venus
    {231, 12, 39, 2, 16.0L},  // Earth-Moon barycentre
    {309, 10, 0, 1, 32.0L},   // Mars
    {342, 7, 0, 1, 32.0L},    // Jupiter
    {366, 6, 0, 1, 32.0L},    // Saturn
    {387, 5, 0, 1, 32.0L},    // Uranus
    {405, 5, 0, 1, 32.0L},    // Neptune
    {423, 5, 0, 1, 32.0L},    // Pluto
    {441, 12, 39, 8, 4.0L},   // Moon, relative to the Earth
    {753, 10, 33, 2, 16.0L},  // Sun
};

}  // namespace ephemeris
