// Exact decimal digits of a binary value significand * 2^exponent, rounded
// once to nearest with ties to even: integer arithmetic only, so the digits
// depend neither on the floating-point unit's rounding mode nor on the locale.
#pragma once

#include <cstdint>

namespace vkrt {

struct BinaryValue {
    uint64_t significand;  // not zero
    int exponent;          // value = significand * 2^exponent
};

// round(value * 10^decimals): the value rounded to `decimals` places after
// the point, as an integer. The result must stay below 10^19.
uint64_t round_to_decimals(const BinaryValue& value, int decimals);

struct SignificantDigits {
    uint64_t digits;  // 10^(count-1) <= digits < 10^count
    int exponent;     // the rounded value is 0.digits * 10^exponent
};

// The value rounded to `count` significant digits (1 to 18). A carry into a
// new leading digit raises the exponent.
SignificantDigits round_to_significant(const BinaryValue& value, int count);

}  // namespace vkrt
