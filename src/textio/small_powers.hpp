// The powers of five and of ten that fit in 64 bits, computed while
// compiling: the decimal conversions both ways take their small scale
// factors from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vkrt {

inline constexpr int max_small_five_exponent = 27;  // 5^27 < 2^63 < 5^28
inline constexpr int max_small_ten_exponent = 19;   // 10^19 < 2^64 < 10^20

template <int MaxExponent>
constexpr std::array<uint64_t, MaxExponent + 1> powers_of(uint64_t base) {
    std::array<uint64_t, MaxExponent + 1> powers{};
    uint64_t power = 1;
    for (int k = 0; k <= MaxExponent; ++k) {
        powers[static_cast<std::size_t>(k)] = power;
        if (k < MaxExponent) power *= base;
    }
    return powers;
}

inline constexpr std::array<uint64_t, max_small_five_exponent + 1> powers_of_five =
    powers_of<max_small_five_exponent>(5);
inline constexpr std::array<uint64_t, max_small_ten_exponent + 1> powers_of_ten =
    powers_of<max_small_ten_exponent>(10);

// 5^k for 0 <= k <= max_small_five_exponent.
constexpr uint64_t power_of_five(int k) { return powers_of_five[static_cast<std::size_t>(k)]; }
// 10^k for 0 <= k <= max_small_ten_exponent.
constexpr uint64_t power_of_ten(int k) { return powers_of_ten[static_cast<std::size_t>(k)]; }

static_assert(power_of_five(13) == 1220703125u);
static_assert(power_of_five(27) == 7450580596923828125u);
static_assert(power_of_ten(19) == 10000000000000000000u);

}  // namespace vkrt
