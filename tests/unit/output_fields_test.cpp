// G25.16 fields of single values: the published table of fields, the sign
// settings, the thresholds themselves, and other widths and digit counts.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "support/dotted_text.hpp"
#include "support/record_writing.hpp"
#include "textio/g_editor.hpp"
#include "textio/g_thresholds.hpp"

namespace {

using testing_support::nearest;
using testing_support::program_settings;

std::string field(long double x, const vkrt::EditSettings& settings = program_settings,
                  int w = 25, int d = 16) {
    char bytes[vkrt::max_field_width];
    vkrt::edit_g(x, w, d, settings, bytes);
    return std::string(bytes, static_cast<size_t>(w));
}

// significand * 2^exponent, exactly.
long double exact(uint64_t significand, int exponent) {
    return std::ldexp(static_cast<long double>(significand), exponent);
}

const long double margin_p = exact(18446744073709550694ull, -64);  // P = 1 - 922 * 2^-64
const long double lower_t = exact(14757395258967641374ull, -67);   // T = P * double(0.1)
const long double reach4 = nearest("9999.99999999999949995554970882949419319629669189453125");

struct Case {
    const char* what;
    long double value;
    const char* want;
};

TEST(GField, TableOfFields) {
    const long double inf = INFINITY;
    const Case cases[] = {
        {"2451545", 2451545.0L, "····2451545.000000000····"},
        {"2460000.5", 2460000.5L, "····2460000.500000000····"},
        {"0.98", nearest("0.98"), "···0.9800000000000000····"},
        {"-0.98", nearest("-0.98"), "··-0.9800000000000000····"},
        {"0.98345...", nearest("0.9834567890123456789"), "···0.9834567890123457····"},
        {"1", 1.0L, "····1.000000000000000····"},
        {"-17.5", -17.5L, "···-17.50000000000000····"},
        {"0.0172", nearest("0.0172"), "···0.1720000000000000E-01"},
        {"-0.0003", nearest("-0.0003"), "··-0.3000000000000000E-03"},
        {"0", 0.0L, "····0.000000000000000····"},
        {"-0", -0.0L, "···-0.000000000000000····"},
        {"nearest 0.1", nearest("0.1"), "···0.1000000000000000E+00"},
        {"double 0.1", static_cast<long double>(0.1), "···0.1000000000000000····"},
        {"T", lower_t, "···0.1000000000000000····"},
        {"0.0999999999999999951", nearest("0.0999999999999999951"), "···0.1000000000000000E+00"},
        {"0.0999999999999999949", nearest("0.0999999999999999949"), "···0.9999999999999999E-01"},
        {"P", margin_p, "····1.000000000000000····"},
        {"below P", std::nextafter(margin_p, 0.0L), "···0.9999999999999999····"},
        {"t(4)", reach4, "····10000.00000000000····"},
        {"1234567890123456.5", 1234567890123456.5L, "····1234567890123456.····"},
        {"1234567890123457.5", 1234567890123457.5L, "····1234567890123458.····"},
        {"9999999999999999.25", 9999999999999999.25L, "····9999999999999999.····"},
        {"9999999999999999.5", 9999999999999999.5L, "···0.1000000000000000E+17"},
        {"1e16", 1e16L, "···0.1000000000000000E+17"},
        {"1e100", nearest("1e100"), "···0.1000000000000000+101"},
        {"1e-100", nearest("1e-100"), "···0.1000000000000000E-99"},
        {"1e-101", nearest("1e-101"), "···0.1000000000000000-100"},
        {"-1.2345e-250", nearest("-1.2345e-250"), "··-0.1234500000000000-249"},
        {"9.99e998", nearest("9.99e998"), "···0.9990000000000000+999"},
        {"1e999", nearest("1e999"), "*************************"},
        {"1e-1000", nearest("1e-1000"), "···0.1000000000000000-999"},
        {"1e-1001", nearest("1e-1001"), "*************************"},
        {"+inf", inf, "·················Infinity"},
        {"-inf", -inf, "················-Infinity"},
        {"nan", std::nanl(""), "······················NaN"},
        {"-nan", -std::nanl(""), "······················NaN"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(field(c.value), testing_support::undot(c.want)) << c.what;
    }
}

TEST(GField, SignSettings) {
    const vkrt::EditSettings plus{true, true, true};
    const vkrt::EditSettings no_sign_zero{false, false, true};
    const vkrt::EditSettings zero_exponent{false, true, false};
    struct SettingsCase {
        const char* what;
        vkrt::EditSettings settings;
        long double value;
        const char* want;
    };
    const SettingsCase cases[] = {
        {"plus 2451545", plus, 2451545.0L, "···+2451545.000000000····"},
        {"plus 0", plus, 0.0L, "···+0.000000000000000····"},
        {"plus inf", plus, INFINITY, "················+Infinity"},
        {"plus nan", plus, std::nanl(""), "······················NaN"},
        {"plus -17.5", plus, -17.5L, "···-17.50000000000000····"},
        {"plus 0.0172", plus, nearest("0.0172"), "··+0.1720000000000000E-01"},
        {"plus -inf", plus, -INFINITY, "················-Infinity"},
        {"no sign_zero -0", no_sign_zero, -0.0L, "····0.000000000000000····"},
        {"no sign_zero -1", no_sign_zero, -1.0L, "···-1.000000000000000····"},
        {"zero exponent form", zero_exponent, 0.0L, "···0.0000000000000000E+00"},
        {"negative zero exponent form", zero_exponent, -0.0L, "··-0.0000000000000000E+00"},
    };
    for (const SettingsCase& c : cases) {
        EXPECT_EQ(field(c.value, c.settings), testing_support::undot(c.want)) << c.what;
    }
}

// The thresholds for 16 digits, against their exact published values.
TEST(GField, ThresholdsForSixteenDigits) {
    const vkrt::GThresholds& t = vkrt::g_thresholds[16];
    EXPECT_EQ(t.margin, margin_p);
    EXPECT_EQ(t.lower, lower_t);
    EXPECT_EQ(t.reach[0], margin_p);
    EXPECT_EQ(t.reach[1], nearest("9.999999999999999500399638918679556809365749359130859375"));
    EXPECT_EQ(t.reach[4], reach4);
    EXPECT_EQ(t.reach[15], nearest("999999999999999.95001220703125"));
    EXPECT_EQ(t.power, 1e16L);
    // 81 units in the last place separate T from the extended real nearest 0.1.
    EXPECT_EQ(exact(14757395258967641374ull - 81, -67), nearest("0.1"));
}

// Every fixed-form magnitude shows exactly 16 significant digits: just below
// t(j) the field has j integer digits, at t(j) it has j + 1.
TEST(GField, IntegerDigitsChangeAtEachThreshold) {
    const vkrt::GThresholds& t = vkrt::g_thresholds[16];
    for (int j = 0; j < 16; ++j) {
        const std::string at = field(t.reach[j]);
        const std::string below = field(std::nextafter(t.reach[j], 0.0L));
        SCOPED_TRACE("j = " + std::to_string(j));
        EXPECT_EQ(at.find('.'), j == 0 ? 5u : 4u + static_cast<size_t>(j) + 1);
        EXPECT_EQ(below.find('.'), j == 0 ? 4u : 4u + static_cast<size_t>(j));
        EXPECT_EQ(at.substr(21), "    ");
        EXPECT_EQ(below.substr(21), "    ");
        EXPECT_EQ(below.find_first_not_of("0123456789.", 4), 21u);
    }
}

TEST(GField, OtherWidthsAndDigits) {
    struct ShapeCase {
        long double value;
        int w;
        int d;
        const char* want;
    };
    const ShapeCase cases[] = {
        {2.5L, 10, 3, "  2.50    "},
        {0.05L, 10, 3, " 0.500E-01"},
        {1234.0L, 10, 3, " 0.123E+04"},
        {999.6L, 10, 3, " 0.100E+04"},
        {0.125L, 9, 2, " 0.12    "},
        {0.375L, 9, 2, " 0.38    "},
        {0.0L, 8, 3, "0.00    "},
        {-INFINITY, 6, 3, "  -Inf"},
        {INFINITY, 2, 3, "**"},
        {std::nanl(""), 2, 3, "**"},
        {-2.5L, 9, 3, "-2.50    "},
        {-2.5L, 8, 3, "********"},
        {0.5L, 8, 3, ".500    "},
        {1e19L, 24, 18, "0.100000000000000000E+20"},
        {1e19L, 23, 18, ".100000000000000000E+20"},
        {1e19L, 22, 18, "**********************"},
        {1.18e4932L, 30, 18, "******************************"},
        {std::nextafter(0.0L, 1.0L), 30, 18, "******************************"},
    };
    for (const ShapeCase& c : cases) {
        EXPECT_EQ(field(c.value, program_settings, c.w, c.d), c.want)
            << "w=" << c.w << " d=" << c.d;
    }
}

// Encodings the processor refuses as operands are written as NaN; a
// pseudo-denormal is a finite value (2^-16382, far below what can be written).
TEST(GField, NonCanonicalEncodings) {
    struct EncodingCase {
        const char* what;
        uint16_t top;  // sign and biased exponent
        uint64_t significand;
        const char* want;
    };
    const EncodingCase cases[] = {
        {"unnormal", 0x3fff, 0x4000000000000000ull, "······················NaN"},
        {"pseudo-infinity", 0x7fff, 0, "······················NaN"},
        {"pseudo-NaN", 0xffff, 1, "······················NaN"},
        {"pseudo-denormal", 0x0000, 0x8000000000000000ull, "*************************"},
    };
    for (const EncodingCase& c : cases) {
        long double x = 0.0L;
        unsigned char bytes[sizeof x] = {};
        std::memcpy(bytes, &c.significand, 8);
        std::memcpy(bytes + 8, &c.top, 2);
        std::memcpy(&x, bytes, sizeof x);
        EXPECT_EQ(field(x), testing_support::undot(c.want)) << c.what;
    }
}

}  // namespace
