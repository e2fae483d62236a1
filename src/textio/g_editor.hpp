// Generalized (G) editing of one extended real into a field of exactly w
// characters with d significant digits: fixed form for magnitudes from just
// above one tenth to just below 10^d, exponent form otherwise, and the
// Infinity, NaN and asterisk fields.
#pragma once

#include "textio/g_thresholds.hpp"

namespace vkrt {

struct EditSettings {
    bool optional_plus;  // "+" before non-negative values and positive Infinity
    bool sign_zero;      // a negative zero keeps its minus sign
    bool zero_fixed;     // a zero takes the fixed form rather than the exponent form
};

inline constexpr int max_field_width = 128;

// Writes exactly w characters (no terminator) for x under Gw.d into field.
// Requires 1 <= w <= max_field_width and 1 <= d <= max_g_digits.
void edit_g(long double x, int w, int d, const EditSettings& settings, char* field);

}  // namespace vkrt
