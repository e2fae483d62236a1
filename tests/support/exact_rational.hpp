// Exact rational checks for decimal input: a decimal number D * 10^x (D a
// digit string) compared with a dyadic number m * 2^e, both made integers
// by scaling and held in base-10^9 limbs, and the test that an extended real
// is the nearest one to a decimal number, ties to even.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// -1, 0 or 1 as digits * 10^exp10 is below, equal to or above m * 2^exp2.
int compare_decimal_dyadic(const std::string& digits, int exp10, unsigned __int128 m, int exp2);

// The digits (no leading zeros) and power of ten of m * 2^exp2 exactly.
struct ExactDecimal {
    std::string digits;
    int exp10;  // value = digits * 10^exp10
};
ExactDecimal dyadic_to_decimal(unsigned __int128 m, int exp2);

// Empty when `result` (non-negative, possibly zero or infinity) is the
// extended real nearest to digits * 10^exp10, ties to even; otherwise a
// description of what is wrong.
std::string check_nearest(const std::string& digits, int exp10, long double result);

}  // namespace testing_support
