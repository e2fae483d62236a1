// The digits of G25.16 fields against a reference: the complete decimal
// expansion of each value by schoolbook arithmetic, rounded on its digit
// string. Random values over the whole exponent range (subnormals included),
// values at and next to every threshold and every decimal rounding boundary,
// and exact halfway cases.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "support/exact_decimal.hpp"
#include "support/record_writing.hpp"
#include "textio/g_editor.hpp"

namespace {

using testing_support::DecimalExpansion;

using testing_support::program_settings;

const long double margin = std::ldexp(18446744073709550694.0L, -64);  // 1 - 922 * 2^-64
const long double lower = std::ldexp(14757395258967641374.0L, -67);   // margin * double(0.1)

std::string editor_field(long double x) {
    char bytes[25];
    vkrt::edit_g(x, 25, 16, program_settings, bytes);
    return std::string(bytes, 25);
}

std::string right_justified(const std::string& text, size_t width) {
    return std::string(width - text.size(), ' ') + text;
}

std::string exponent_reference(const std::string& sign, const DecimalExpansion& exact) {
    const DecimalExpansion rounded = testing_support::round_digits(exact, 16);
    const int e = rounded.point;
    if (e > 999 || e < -999) return std::string(25, '*');
    char part[8];
    std::snprintf(part, sizeof part, std::abs(e) <= 99 ? "E%+03d" : "%+04d", e);
    return right_justified(sign + "0." + rounded.digits + part, 25);
}

std::string fixed_reference(const std::string& sign, const DecimalExpansion& exact,
                            long double magnitude) {
    int n = 0;
    for (long double power = 1.0L; n < 16 && magnitude >= power * margin; power *= 10.0L) ++n;
    const size_t decimals = static_cast<size_t>(16 - n);
    const DecimalExpansion rounded =
        testing_support::round_digits(exact, exact.point + static_cast<int>(decimals));
    // A carry into a new integer digit shortens the digit string by a zero.
    std::string digits = rounded.digits;
    const size_t point = static_cast<size_t>(rounded.point);
    digits.resize(point + decimals, '0');
    const std::string integer = point > 0 ? digits.substr(0, point) : "0";
    return right_justified(sign + integer + "." + digits.substr(point), 21) + "    ";
}

// The expected field of a finite non-zero value.
std::string reference_field(long double x) {
    const long double magnitude = std::fabs(x);
    const std::string sign = std::signbit(x) ? "-" : "";
    const DecimalExpansion exact = testing_support::exact_decimal(magnitude);
    if (magnitude < lower || 1e16L - magnitude <= 0.5L) return exponent_reference(sign, exact);
    return fixed_reference(sign, exact, magnitude);
}

long double from_parts(bool negative, int biased_exponent, uint64_t significand) {
    const int exponent = (biased_exponent == 0 ? 1 : biased_exponent) - 16383 - 63;
    const long double magnitude = std::ldexp(static_cast<long double>(significand), exponent);
    return negative ? -magnitude : magnitude;
}

int compare_all(const std::vector<long double>& values) {
    int mismatches = 0;
    for (long double x : values) {
        const std::string want = reference_field(x);
        const std::string got = editor_field(x);
        if (got != want && ++mismatches <= 10) {
            ADD_FAILURE() << "value " << std::hexfloat << x << "\n want " << want << "\n  got "
                          << got;
        }
    }
    return mismatches;
}

std::vector<long double> random_values(uint64_t seed, int count, int low_exponent,
                                       int high_exponent) {
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> exponent(low_exponent, high_exponent);
    std::vector<long double> values;
    for (int i = 0; i < count; ++i) {
        const uint64_t bits = random();
        const int e = exponent(random);
        const uint64_t significand = e == 0 ? bits >> (random() % 64) : bits | (uint64_t{1} << 63);
        if (significand == 0) continue;
        values.push_back(from_parts((bits & 1) != 0, e, significand));
    }
    return values;
}

TEST(GDigits, RandomValuesOverTheWholeRange) {
    EXPECT_EQ(compare_all(random_values(20240611, 12000, 1, 32766)), 0);
}

TEST(GDigits, RandomSubnormals) {
    EXPECT_EQ(compare_all(random_values(7, 1000, 0, 0)), 0);
}

TEST(GDigits, RandomValuesOfOrdinaryMagnitude) {
    EXPECT_EQ(compare_all(random_values(42, 100000, 16383 - 70, 16383 + 70)), 0);
}

void add_neighbours(std::vector<long double>& values, long double x, int steps) {
    long double up = x;
    long double down = x;
    values.push_back(x);
    for (int i = 0; i < steps; ++i) {
        up = std::nextafter(up, INFINITY);
        down = std::nextafter(down, 0.0L);
        values.push_back(up);
        values.push_back(down);
    }
}

TEST(GDigits, AtAndNextToEveryThreshold) {
    std::vector<long double> values;
    add_neighbours(values, lower, 3);
    add_neighbours(values, std::strtold("0.1", nullptr), 3);
    add_neighbours(values, 9999999999999999.5L, 3);
    add_neighbours(values, 1e16L, 3);
    long double power = 1.0L;
    for (int j = 0; j < 16; ++j, power *= 10.0L) add_neighbours(values, power * margin, 3);
    EXPECT_EQ(compare_all(values), 0);
}

// Where 16 rounded digits carry into a new leading digit, and where the
// exponent leaves the range that can be written.
TEST(GDigits, NextToDecimalRoundingBoundaries) {
    std::vector<long double> values;
    char text[40];
    for (int k = -1005; k <= 1005; ++k) {
        std::snprintf(text, sizeof text, "9.9999999999999995e%d", k);
        add_neighbours(values, std::strtold(text, nullptr), 2);
        std::snprintf(text, sizeof text, "1e%d", k);
        add_neighbours(values, -std::strtold(text, nullptr), 1);
    }
    EXPECT_EQ(compare_all(values), 0);
}

// Values exactly halfway between two 16-digit candidates: integers with 17 to
// 19 digits ending in 5, 50 or 500, and odd multiples of one half in fixed
// form.
TEST(GDigits, ExactHalfwayCases) {
    std::mt19937_64 random(99);
    std::vector<long double> values;
    for (int i = 0; i < 3000; ++i) {
        const uint64_t head = 1000000000000000ull + random() % 9000000000000000ull;
        values.push_back(static_cast<long double>(head * 10 + 5));
        values.push_back(static_cast<long double>(head * 100 + 50));
        if (head < 1800000000000000ull) values.push_back(static_cast<long double>(head * 1000 + 500));
        values.push_back(static_cast<long double>(head % 9000000000000000ull) + 0.5L);
    }
    EXPECT_EQ(compare_all(values), 0);
}

}  // namespace
