// Decimal to extended real conversion checked against exact rational
// arithmetic done here: random numbers over the whole exponent range, exact
// halfway cases and their nearest neighbours, long digit strings,
// subnormals, overflow to infinity and independence from the rounding mode.
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>

#include "support/exact_rational.hpp"
#include "support/scan_text.hpp"

namespace {

using testing_support::check_nearest;
using testing_support::dyadic_to_decimal;
using testing_support::ExactDecimal;
using testing_support::scan_text;
using u128 = unsigned __int128;

struct Bits {
    unsigned sign_exponent;
    uint64_t significand;
    bool operator==(const Bits&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bits& b) {
    char text[40];
    std::snprintf(text, sizeof text, "%04X %016llX", b.sign_exponent,
                  static_cast<unsigned long long>(b.significand));
    return out << text;
}

Bits read_bits(const std::string& text) {
    const auto scan = scan_text(text + "\n");
    EXPECT_EQ(scan.result.outcome, vkrt::ListScanOutcome::value) << scan.result.message;
    return {scan.result.value.sign_exponent, scan.result.value.significand};
}

long double to_long_double(const Bits& b) {
    long double x = 0;
    unsigned char bytes[10];
    std::memcpy(bytes, &b.significand, 8);
    bytes[8] = static_cast<unsigned char>(b.sign_exponent);
    bytes[9] = static_cast<unsigned char>(b.sign_exponent >> 8);
    std::memcpy(&x, bytes, 10);
    return x;
}

std::string text_of(const ExactDecimal& d) { return d.digits + "E" + std::to_string(d.exp10); }

// The extended real m * 2^(lsb exponent) of a given biased exponent.
Bits extended(uint64_t m, unsigned biased) { return {biased, m}; }

// lsb exponent of the significand for a biased exponent.
int lsb_exponent(unsigned biased) { return (biased == 0 ? 1 : static_cast<int>(biased)) - 16383 - 63; }

// Decreases a decimal digit string by one unit in its last place.
std::string decremented(std::string digits) {
    size_t i = digits.size();
    while (digits[--i] == '0') digits[i] = '9';
    --digits[i];
    return digits;
}

// `length` random decimal digits, the first not zero.
std::string random_digits(std::mt19937_64& random, int length) {
    std::string digits;
    for (int i = 0; i < length; ++i) digits += static_cast<char>('0' + random() % 10);
    if (digits[0] == '0') digits[0] = '1' + static_cast<char>(random() % 9);
    return digits;
}

TEST(InputConversion, RandomDecimalsOverTheWholeRangeAreNearest) {
    std::mt19937_64 random(20240611);
    for (int n = 0; n < 3000; ++n) {
        const int length = 1 + static_cast<int>(random() % 60);
        const std::string digits = random_digits(random, length);
        const int exp10 = static_cast<int>(random() % 9960) - 4990 - length;
        const bool negative = random() % 2 == 0;
        // Written with the point inside the digits half of the time.
        std::string text = digits + "e" + std::to_string(exp10);
        if (random() % 2 == 0) {
            const size_t at = random() % (digits.size() + 1);
            const int shifted = exp10 + static_cast<int>(digits.size() - at);
            text = digits.substr(0, at) + "." + digits.substr(at) + "D" + std::to_string(shifted);
        }
        SCOPED_TRACE(text);
        const Bits got = read_bits((negative ? "-" : "") + text);
        EXPECT_EQ(got.sign_exponent >> 15, negative ? 1u : 0u);
        const Bits magnitude{got.sign_exponent & 0x7fff, got.significand};
        EXPECT_EQ(check_nearest(digits, exp10, to_long_double(magnitude)), "");
        if (n % 10 == 0 && magnitude.significand != 0) {  // the check refuses the neighbours
            const long double x = to_long_double(magnitude);
            EXPECT_NE(check_nearest(digits, exp10, std::nextafter(x, 0.0L)), "");
            if (magnitude.sign_exponent != 0x7fff) {
                EXPECT_NE(check_nearest(digits, exp10, std::nextafter(x, HUGE_VALL)), "");
            }
        }
    }
}

// Short numbers with small exponents, as dates are written: both sides of 19
// digits and of the exponents up to which they are converted in 128 bits.
TEST(InputConversion, ShortNumbersWithSmallExponentsAreNearest) {
    std::mt19937_64 random(5);
    for (int n = 0; n < 6000; ++n) {
        const int length = 1 + static_cast<int>(random() % 21);
        const std::string digits = random_digits(random, length);
        const int exp10 = static_cast<int>(random() % 63) - 31;
        const std::string text = digits + "e" + std::to_string(exp10);
        SCOPED_TRACE(text);
        const Bits got = read_bits(text);
        EXPECT_EQ(check_nearest(digits, exp10, to_long_double(got)), "");
    }
}

// Halfway points written with few digits: t * 5^j * 2^(j + r) = (t * 2^r) *
// 10^j with t * 5^j an odd 65-bit number, so they lie between two
// neighbours m * 2^(j + r + 1) and (m + 1) * 2^(j + r + 1).
TEST(InputConversion, ShortHalfwayPointsTieToEven) {
    std::mt19937_64 random(11);
    for (int j = 14; j <= 27; ++j) {
        u128 five = 1;
        for (int i = 0; i < j; ++i) five *= 5;
        const u128 low_t = ((u128{1} << 64) + five - 1) / five;  // t * 5^j >= 2^64
        const u128 high_t = (u128{1} << 65) / five;              // t * 5^j < 2^65
        for (int pick = 0; pick < 4; ++pick) {
            u128 t = low_t + random() % static_cast<uint64_t>(high_t - low_t + 1);
            if (t % 2 == 0) t = t + 1 < high_t || t + 1 == high_t ? t + 1 : t - 1;
            if (t * five >= (u128{1} << 65) || t * five < (u128{1} << 64)) continue;
            const auto m = static_cast<uint64_t>((t * five - 1) / 2);
            for (int r = 0; r <= 3; ++r) {
                const u128 d = t << r;
                if (d >= 10000000000000000000ull) continue;  // 19 digits at most
                const std::string text =
                    std::to_string(static_cast<uint64_t>(d)) + "E" + std::to_string(j);
                SCOPED_TRACE(text);
                const unsigned biased = static_cast<unsigned>(j + r + 1 + 63 + 16383);
                EXPECT_EQ(read_bits(text), m % 2 == 0 ? extended(m, biased) : extended(m + 1, biased));
            }
        }
    }
}

// Exact halfway points between neighbours go to the even one; a hair above
// or below goes to the nearer one. Normal values over the whole range and
// subnormals, some written with thousands of digits.
TEST(InputConversion, HalfwayCasesTiesToEvenAndHairsEitherSide) {
    std::mt19937_64 random(7);
    for (int n = 0; n < 300; ++n) {
        const bool subnormal = n % 5 == 0;
        const unsigned biased = subnormal ? 0 : 1 + static_cast<unsigned>(random() % 0x7ffd);
        uint64_t m = random() >> (subnormal ? 1 + random() % 63 : 0);
        if (!subnormal) m |= uint64_t{1} << 63;
        if (m == ~uint64_t{0} || m == 0 || m == (uint64_t{1} << 63) - 1) m ^= 2;
        const ExactDecimal half = dyadic_to_decimal(2 * u128{m} + 1, lsb_exponent(biased) - 1);
        SCOPED_TRACE(text_of(half).substr(0, 60));
        const Bits low = extended(m, biased);
        const Bits high = extended(m + 1, biased);
        EXPECT_EQ(read_bits(text_of(half)), m % 2 == 0 ? low : high);
        EXPECT_EQ(read_bits(half.digits + "0000001E" + std::to_string(half.exp10 - 7)), high);
        EXPECT_EQ(read_bits(decremented(half.digits) + "9999999E" + std::to_string(half.exp10 - 7)),
                  low);
    }
}

// A halfway point of 11510 digits, exact or with one non-zero digit
// thousands of places further on, and numbers padded with hundreds of zeros.
TEST(InputConversion, LongDigitStringsCountEveryDigit) {
    // 2.5 * 2^-16445, between the subnormals 2 and 3 (times 2^-16445).
    const ExactDecimal half = dyadic_to_decimal(5, -16446);
    ASSERT_GT(half.digits.size(), 11400u);
    const std::string point_text = "0." + std::string(static_cast<size_t>(-half.exp10) - half.digits.size(), '0');
    EXPECT_EQ(read_bits(point_text + half.digits), extended(2, 0));
    EXPECT_EQ(read_bits(point_text + half.digits + std::string(9000, '0') + "1"), extended(3, 0));
    EXPECT_EQ(read_bits(point_text + half.digits + std::string(9000, '0')), extended(2, 0));
    EXPECT_EQ(read_bits(point_text + decremented(half.digits) + std::string(9000, '9')), extended(2, 0));

    const Bits one{0x3FFF, uint64_t{1} << 63};
    EXPECT_EQ(read_bits("0." + std::string(500, '0') + "1E501"), one);
    EXPECT_EQ(read_bits("1" + std::string(700, '0') + "E-700"), one);
    EXPECT_EQ(read_bits(std::string(800, '0') + "1." + std::string(800, '0')), one);
    // 1 + 2^-64 exactly is a tie that goes to 1; anything above it rounds up.
    const ExactDecimal tie = dyadic_to_decimal((u128{1} << 64) + 1, -64);
    EXPECT_EQ(read_bits(text_of(tie)), one);
    EXPECT_EQ(read_bits(tie.digits + std::string(600, '0') + "1E" + std::to_string(tie.exp10 - 601)),
              (Bits{0x3FFF, (uint64_t{1} << 63) + 1}));
}

TEST(InputConversion, SubnormalAndOverflowBoundaries) {
    const ExactDecimal least_half = dyadic_to_decimal(1, -16446);
    EXPECT_EQ(read_bits(text_of(least_half)), extended(0, 0));
    EXPECT_EQ(read_bits("-" + text_of(least_half)), (Bits{0x8000, 0}));
    EXPECT_EQ(read_bits(least_half.digits + "1E" + std::to_string(least_half.exp10 - 1)), extended(1, 0));
    // Halfway between the largest subnormal and the smallest normal: even is normal.
    const ExactDecimal top_half = dyadic_to_decimal((u128{1} << 64) - 1, -16446);
    EXPECT_EQ(read_bits(text_of(top_half)), extended(uint64_t{1} << 63, 1));
    EXPECT_EQ(read_bits(decremented(top_half.digits) + "9E" + std::to_string(top_half.exp10 - 1)),
              extended((uint64_t{1} << 63) - 1, 0));

    const ExactDecimal threshold = dyadic_to_decimal((u128{1} << 65) - 1, 16319);
    const Bits infinity{0x7FFF, uint64_t{1} << 63};
    const Bits largest{0x7FFE, ~uint64_t{0}};
    EXPECT_EQ(read_bits(text_of(threshold)), infinity);
    EXPECT_EQ(read_bits(decremented(threshold.digits) + "9E-1"), largest);
    EXPECT_EQ(read_bits("1.18973149535723176502E4932"), largest);
    EXPECT_EQ(read_bits("-1.18973149535723176509E4932"), (Bits{0xFFFF, uint64_t{1} << 63}));
}

TEST(InputConversion, TheRoundingModeNeitherMattersNorChanges) {
    const char* texts[] = {"0.1", "-0.1", "2451545.1", "1E-4940", "1.18973149535723176505E4932", "3E-4951"};
    for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        for (const char* text : texts) {
            SCOPED_TRACE(text);
            const Bits nearest = read_bits(text);
            ASSERT_EQ(std::fesetround(mode), 0);
            const Bits got = read_bits(text);
            EXPECT_EQ(std::fegetround(), mode);
            std::fesetround(FE_TONEAREST);
            EXPECT_EQ(got, nearest);
        }
    }
}

}  // namespace
