// G editing. The shape is chosen by comparing the magnitude with thresholds
// computed in extended arithmetic; the digits come from the exact binary
// value, rounded once (textio/decimal_digits). A fixed-form field is the
// number right-justified in w - 4 characters followed by 4 blanks; an
// exponent-form field is 0.d1...dd and a 4-character exponent part,
// right-justified in w characters.
#include "textio/g_editor.hpp"

#include <cmath>
#include <cstdint>

#include "textio/decimal_digits.hpp"
#include "textio/extended_format.hpp"

namespace vkrt {

namespace {

constexpr int fixed_form_tail = 4;  // blanks after a fixed-form number

// Text of a number before it is placed in its field.
struct Text {
    char bytes[48] = {};
    int length = 0;
    void put(char c) { bytes[length++] = c; }
};

void fill(char* field, int w, char c) {
    for (int i = 0; i < w; ++i) field[i] = c;
}

// Right-justifies text in w characters; false (field untouched) when it does
// not fit.
bool place_right(char* field, int w, const char* text, int length) {
    if (length > w) return false;
    fill(field, w - length, ' ');
    for (int i = 0; i < length; ++i) field[w - length + i] = text[i];
    return true;
}

// The decimal digits of value, with leading zeros up to at least `minimum`.
void put_digits(Text& text, uint64_t value, int minimum) {
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count < minimum) reversed[count++] = '0';
    while (count > 0) text.put(reversed[--count]);
}

// 0 for no sign.
char sign_of(bool negative, bool zero, const EditSettings& settings) {
    if (negative && !(zero && !settings.sign_zero)) return '-';
    return settings.optional_plus ? '+' : 0;
}

// The sign, then "0." or "." (without the optional leading zero).
void put_lead(Text& text, char sign, bool leading_zero) {
    if (sign != 0) text.put(sign);
    if (leading_zero) text.put('0');
}

// rounded = the magnitude times 10^decimals, as an integer.
Text fixed_text(char sign, uint64_t rounded, int decimals, bool leading_zero) {
    Text digits;
    put_digits(digits, rounded, decimals + 1);
    const int integer_digits = digits.length - decimals;
    const bool zero_integer = integer_digits == 1 && digits.bytes[0] == '0';
    Text text;
    put_lead(text, sign, false);
    const int first = zero_integer && !leading_zero ? 1 : 0;
    for (int i = first; i < integer_digits; ++i) text.put(digits.bytes[i]);
    text.put('.');
    for (int i = integer_digits; i < digits.length; ++i) text.put(digits.bytes[i]);
    return text;
}

void put_exponent_part(Text& text, int exponent) {
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude <= 99) text.put('E');
    text.put(exponent < 0 ? '-' : '+');
    put_digits(text, static_cast<uint64_t>(magnitude), magnitude <= 99 ? 2 : 3);
}

Text exponent_text(char sign, const SignificantDigits& rounded, int d, bool leading_zero) {
    Text text;
    put_lead(text, sign, leading_zero);
    text.put('.');
    put_digits(text, rounded.digits, d);
    put_exponent_part(text, rounded.exponent);
    return text;
}

void fixed_field(char* field, int w, char sign, uint64_t rounded, int decimals) {
    const int room = w - fixed_form_tail;
    for (bool leading_zero : {true, false}) {
        const Text text = fixed_text(sign, rounded, decimals, leading_zero);
        if (room >= 0 && place_right(field, room, text.bytes, text.length)) {
            fill(field + room, fixed_form_tail, ' ');
            return;
        }
    }
    fill(field, w, '*');
}

void exponent_field(char* field, int w, int d, char sign, const SignificantDigits& rounded) {
    if (rounded.exponent > 999 || rounded.exponent < -999) return fill(field, w, '*');
    for (bool leading_zero : {true, false}) {
        const Text text = exponent_text(sign, rounded, d, leading_zero);
        if (place_right(field, w, text.bytes, text.length)) return;
    }
    fill(field, w, '*');
}

void infinity_field(char* field, int w, char sign) {
    char text[9];
    int length = 0;
    if (sign != 0) text[length++] = sign;
    const char* word = w >= length + 8 ? "Infinity" : "Inf";
    while (*word != 0) text[length++] = *word++;
    if (!place_right(field, w, text, length)) fill(field, w, '*');
}

void nan_field(char* field, int w) {
    if (!place_right(field, w, "NaN", 3)) fill(field, w, '*');
}

// Number of thresholds t(j) the magnitude reaches: the integer digits of
// its fixed form.
int integer_digit_count(long double magnitude, const GThresholds& thresholds, int d) {
    int count = 0;
    while (count < d && magnitude >= thresholds.reach[count]) ++count;
    return count;
}

void edit_finite(const ExtendedBits& bits, long double x, int w, int d,
                 const EditSettings& settings, char* field) {
    const long double magnitude = std::fabs(x);
    const GThresholds& thresholds = g_thresholds[d];
    const BinaryValue value{bits.significand, lsb_exponent(bits.biased_exponent())};
    const char sign = sign_of(bits.negative(), false, settings);
    if (magnitude < thresholds.lower || thresholds.power - magnitude <= 0.5L) {
        return exponent_field(field, w, d, sign, round_to_significant(value, d));
    }
    const int decimals = d - integer_digit_count(magnitude, thresholds, d);
    fixed_field(field, w, sign, round_to_decimals(value, decimals), decimals);
}

void edit_zero(bool negative, int w, int d, const EditSettings& settings, char* field) {
    const char sign = sign_of(negative, true, settings);
    if (settings.zero_fixed) return fixed_field(field, w, sign, 0, d - 1);
    exponent_field(field, w, d, sign, SignificantDigits{0, 0});
}

}  // namespace

void edit_g(long double x, int w, int d, const EditSettings& settings, char* field) {
    const ExtendedBits bits = load_extended(x);
    switch (classify(bits)) {
        case ExtendedClass::nan:
            return nan_field(field, w);
        case ExtendedClass::infinity:
            return infinity_field(field, w, sign_of(bits.negative(), false, settings));
        case ExtendedClass::zero:
            return edit_zero(bits.negative(), w, d, settings, field);
        case ExtendedClass::finite:
            return edit_finite(bits, x, w, d, settings, field);
    }
}

}  // namespace vkrt
