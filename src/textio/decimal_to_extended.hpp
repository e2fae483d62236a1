// Exact conversion of a decimal number to the nearest extended real, ties to
// even, with gradual underflow and overflow to infinity. The value is built
// from its fields with integer arithmetic only, so it does not depend on the
// floating-point unit's rounding mode and leaves the unit's state alone.
#pragma once

#include <cstdint>

#include "textio/decimal_number.hpp"

namespace vkrt {

// The ten bytes of an extended real as fields.
struct ExtendedBits {
    uint64_t significand;    // with its explicit integer bit
    uint16_t sign_exponent;  // sign bit, then the biased exponent
};

// Requires number.has_digit.
ExtendedBits decimal_to_extended(const DecimalNumber& number);

// Infinity, and the quiet NaN with no payload, with the sign given.
ExtendedBits extended_infinity(bool negative);
ExtendedBits extended_quiet_nan(bool negative);

// Writes the ten bytes into `destination`, leaving the rest of its slot.
void store_extended(const ExtendedBits& bits, long double& destination);

}  // namespace vkrt
