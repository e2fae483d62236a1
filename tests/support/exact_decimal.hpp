// The complete decimal expansion of a positive finite extended real, by
// schoolbook arithmetic on the whole value in base 10^9, and its rounding on
// the decimal digit string: a reference for output editing tests.
#pragma once

#include <string>

namespace testing_support {

struct DecimalExpansion {
    std::string digits;  // no leading zeros
    int point;           // value = 0.digits * 10^point
};

DecimalExpansion exact_decimal(long double magnitude);

// The first `keep` digits rounded to nearest, ties to even, on the digit
// string (keep >= 1); a carry into a new digit raises `point`.
DecimalExpansion round_digits(const DecimalExpansion& expansion, int keep);

}  // namespace testing_support
