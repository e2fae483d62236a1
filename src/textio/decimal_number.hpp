// A decimal number as the input scanner takes it in, digit by digit: its
// sign, its significant digits, where the decimal point falls and its
// exponent. Only the leading digits that can decide the rounding to an
// extended real are kept; of the rest it is remembered whether any was
// non-zero, so numbers of any length convert from all of their digits.
#pragma once

#include <cstdint>

namespace vkrt {

struct DecimalNumber {
    // A rounding boundary of an extended real (a value halfway between two
    // neighbours) has at most 11515 significant decimal digits, so the digits
    // after the first 11600 only matter through being zero or not.
    static constexpr int kept_digits = 11600;
    // Larger exponents are taken as this, with their sign.
    static constexpr int32_t exponent_limit = 19999;

    bool negative = false;
    bool has_digit = false;        // the mantissa holds at least one digit
    bool has_point = false;        // the mantissa holds its full stop
    int count = 0;                 // significant digits held in `digits`
    bool dropped_nonzero = false;  // a non-zero digit beyond those held
    int64_t point = 0;             // value = 0.d1d2d3... * 10^(point + exponent)
    bool exponent_negative = false;
    int32_t exponent = 0;          // magnitude, at most exponent_limit
    unsigned char digits[kept_digits];  // digit values 0 to 9

    // Back to no number at all (the digits array is left as it is).
    void reset();
    void add_digit(int digit);
    void add_exponent_digit(int digit);
    // The decimal exponent of the value 0.d1d2d3..., exponent included.
    int64_t scale() const;
};

}  // namespace vkrt
