// Taking in the digits of a decimal number.
#include "textio/decimal_number.hpp"

namespace vkrt {

void DecimalNumber::reset() {
    negative = false;
    has_digit = false;
    has_point = false;
    count = 0;
    dropped_nonzero = false;
    point = 0;
    exponent_negative = false;
    exponent = 0;
}

void DecimalNumber::add_digit(int digit) {
    has_digit = true;
    if (count == 0 && digit == 0) {
        // A leading zero only moves the point when it stands after it.
        if (has_point) --point;
        return;
    }
    if (!has_point) ++point;
    if (count < kept_digits) {
        digits[count++] = static_cast<unsigned char>(digit);
    } else if (digit != 0) {
        dropped_nonzero = true;
    }
}

void DecimalNumber::add_exponent_digit(int digit) {
    const int32_t grown = exponent * 10 + digit;
    exponent = grown > exponent_limit ? exponent_limit : grown;
}

int64_t DecimalNumber::scale() const {
    return point + (exponent_negative ? -int64_t{exponent} : int64_t{exponent});
}

}  // namespace vkrt
