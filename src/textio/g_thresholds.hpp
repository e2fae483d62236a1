// The magnitudes at which G editing with d significant digits changes shape,
// computed in extended arithmetic, each operation rounded to nearest, exactly
// in the order written below. They are evaluated while compiling, so they do
// not change with the rounding mode of the unit at run time.
#pragma once

#include <array>

#include "textio/small_powers.hpp"

namespace vkrt {

inline constexpr int max_g_digits = 18;

struct GThresholds {
    long double margin;                   // P = 1 - 0.5/10^d
    long double lower;                    // T = P * (the double nearest 0.1)
    long double reach[max_g_digits];      // t(j) = 10^j * P, j = 0 .. d-1
    long double power;                    // 10^d, exact
};

// 10^j for 0 <= j <= max_g_digits: below 2^64, so the conversion is exact.
static_assert(max_g_digits <= max_small_ten_exponent);
constexpr long double exact_power_of_ten(int j) {
    return static_cast<long double>(power_of_ten(j));
}

constexpr GThresholds make_g_thresholds(int d) {
    GThresholds thresholds{};
    thresholds.power = exact_power_of_ten(d);
    const long double half_unit = 0.5L / thresholds.power;
    thresholds.margin = 1.0L - half_unit;
    thresholds.lower = thresholds.margin * static_cast<long double>(0.1);
    for (int j = 0; j < d; ++j) thresholds.reach[j] = exact_power_of_ten(j) * thresholds.margin;
    return thresholds;
}

constexpr std::array<GThresholds, max_g_digits + 1> make_g_threshold_table() {
    std::array<GThresholds, max_g_digits + 1> table{};
    // The table has max_g_digits + 1 entries; cppcheck misreads its size.
    // cppcheck-suppress containerOutOfBounds
    for (int d = 1; d <= max_g_digits; ++d) table[d] = make_g_thresholds(d);
    return table;
}

// Indexed by d, 1 to max_g_digits.
inline constexpr std::array<GThresholds, max_g_digits + 1> g_thresholds = make_g_threshold_table();

}  // namespace vkrt
