// Exact decimal rounding of binary values. The value times a power of ten is
// the fraction numerator / denominator of two big integers; one long division
// gives the integer part and the remainder, and the remainder against half
// the denominator decides the single rounding step.
#include "textio/decimal_digits.hpp"

#include "diagnostics/report.hpp"
#include "textio/big_unsigned.hpp"
#include "textio/small_powers.hpp"

namespace vkrt {

namespace {

// floor(value * 10^scale), and the rest compared with one half (-1, 0, 1).
struct Scaled {
    uint64_t floor;
    int rest_against_half;
};

int compare_with_half(unsigned __int128 rest, int bits) {
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (bits - 1);
    return rest < half ? -1 : rest == half ? 0 : 1;
}

// The common case in native 128-bit arithmetic: for 0 <= scale <= 27,
// significand * 5^scale is below 2^128 and the power of two is a shift.
// False when the value needs the general case.
bool scale_in_128_bits(const BinaryValue& value, int scale, Scaled& out) {
    if (scale < 0 || scale > max_small_five_exponent) return false;
    const uint64_t five_power = power_of_five(scale);
    const unsigned __int128 product = static_cast<unsigned __int128>(value.significand) * five_power;
    const int twos = value.exponent + scale;
    if (twos >= 0) {
        // An integer: exact when it stays below 2^64.
        if (twos >= 64 || (product >> (64 - twos)) != 0) return false;
        out = {static_cast<uint64_t>(product << twos), -1};
        return true;
    }
    const int shift = -twos;
    if (shift >= 128 || (product >> shift) >> 64 != 0) return false;
    const unsigned __int128 rest = product & ((static_cast<unsigned __int128>(1) << shift) - 1);
    out = {static_cast<uint64_t>(product >> shift), compare_with_half(rest, shift)};
    return true;
}

// value * 10^scale = significand * 2^twos * 5^scale with twos = exponent +
// scale; negative powers go to the denominator.
Scaled scale_exactly(const BinaryValue& value, int scale) {
    Scaled fast;
    if (scale_in_128_bits(value, scale, fast)) return fast;
    EditInteger numerator(value.significand);
    EditInteger denominator(1);
    const int twos = value.exponent + scale;
    if (scale >= 0) numerator.multiply_power_of_five(scale);
    else denominator.multiply_power_of_five(-scale);
    if (twos >= 0) numerator.shift_left(twos);
    else denominator.shift_left(-twos);

    uint64_t quotient = 0;
    EditInteger step = denominator;
    step.shift_left(63);
    for (int bit = 63; bit >= 0; --bit) {
        if (compare(numerator, step) >= 0) {
            numerator.subtract(step);
            quotient |= uint64_t{1} << bit;
        }
        step.shift_right_one();
    }
    if (compare(numerator, denominator) >= 0) {
        internal_error(nullptr, "decimal conversion quotient out of range");
    }
    numerator.shift_left(1);
    return {quotient, compare(numerator, denominator)};
}

uint64_t rounded(const Scaled& scaled) {
    const bool up = scaled.rest_against_half > 0 ||
                    (scaled.rest_against_half == 0 && (scaled.floor & 1) != 0);
    return scaled.floor + (up ? 1 : 0);
}

// floor(log10(value)) + 1 or one less, from the position of the top bit:
// log10(2) * 2^32 = 1292913986.08.
int estimated_decimal_exponent(const BinaryValue& value) {
    const int top_bit = value.exponent + 63 - __builtin_clzll(value.significand);
    const int64_t scaled = int64_t{top_bit} * 1292913986;
    return static_cast<int>(scaled >> 32) + 1;  // arithmetic shift: floor
}

}  // namespace

uint64_t round_to_decimals(const BinaryValue& value, int decimals) {
    return rounded(scale_exactly(value, decimals));
}

SignificantDigits round_to_significant(const BinaryValue& value, int count) {
    int exponent = estimated_decimal_exponent(value);
    for (;;) {
        const Scaled scaled = scale_exactly(value, count - exponent);
        if (scaled.floor >= power_of_ten(count)) {
            ++exponent;
        } else if (scaled.floor < power_of_ten(count - 1)) {
            --exponent;
        } else {
            const uint64_t digits = rounded(scaled);
            if (digits == power_of_ten(count)) return {power_of_ten(count - 1), exponent + 1};
            return {digits, exponent};
        }
    }
}

}  // namespace vkrt
