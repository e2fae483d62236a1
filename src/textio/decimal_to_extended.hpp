// Exact conversion of a decimal number to the nearest extended real, ties to
// even, with gradual underflow and overflow to infinity. The value is built
// from its fields with integer arithmetic only, so it does not depend on the
// floating-point unit's rounding mode and leaves the unit's state alone.
#pragma once

#include "textio/decimal_number.hpp"
#include "textio/extended_format.hpp"

namespace vkrt {

// Requires number.has_digit.
ExtendedBits decimal_to_extended(const DecimalNumber& number);

}  // namespace vkrt
