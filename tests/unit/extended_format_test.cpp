// The extended format's fields against hand-written ten-byte patterns at the
// edges of the format: taking a value apart, assembling it again (only ten
// bytes of the slot written), its class and the weight of its lowest bit.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

#include "textio/extended_format.hpp"

namespace {

using Pattern = unsigned char[10];  // significand from its lowest byte, then sign and exponent

struct Case {
    const char* what;
    Pattern bytes;
    bool negative;
    int biased_exponent;
    uint64_t significand;
    vkrt::ExtendedClass kind;
    long double value;  // for a NaN, not compared
};

long double from_pattern(const Pattern& bytes) {
    long double x = 0.0L;
    std::memcpy(&x, bytes, sizeof(Pattern));
    return x;
}

bool stored_as(const vkrt::ExtendedBits& bits, const Pattern& bytes) {
    unsigned char slot[sizeof(long double)];
    std::memset(slot, 0xA5, sizeof slot);
    long double x;
    std::memcpy(&x, slot, sizeof slot);
    vkrt::store_extended(bits, x);
    std::memcpy(slot, &x, sizeof slot);
    for (size_t i = sizeof(Pattern); i < sizeof slot; ++i) {
        if (slot[i] != 0xA5) return false;  // beyond the ten bytes of the value
    }
    return std::memcmp(slot, bytes, sizeof(Pattern)) == 0;
}

TEST(ExtendedFormat, BoundaryPatterns) {
    using K = vkrt::ExtendedClass;
    const uint64_t top = uint64_t{1} << 63;
    const uint64_t all = ~uint64_t{0};
    const Case cases[] = {
        {"-0", {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}, true, 0, 0, K::zero, -0.0L},
        {"smallest subnormal", {1, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}, false, 0, 1, K::finite,
         LDBL_TRUE_MIN},
        {"largest subnormal", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00}, false, 0,
         top - 1, K::finite, LDBL_MIN - LDBL_TRUE_MIN},
        {"pseudo-denormal", {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x00}, false, 0, top, K::finite, LDBL_MIN},
        {"smallest normal", {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00}, false, 1, top, K::finite, LDBL_MIN},
        {"one", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, false, 0x3FFF, top, K::finite, 1.0L},
        {"-largest finite", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF}, true, 0x7FFE,
         all, K::finite, -LDBL_MAX},
        {"infinity", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}, false, 0x7FFF, top, K::infinity, INFINITY},
        {"-quiet NaN", {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0xFF}, true, 0x7FFF, top | (top >> 1), K::nan,
         0.0L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const long double x = from_pattern(c.bytes);
        const vkrt::ExtendedBits bits = vkrt::load_extended(x);
        EXPECT_EQ(bits.negative(), c.negative);
        EXPECT_EQ(bits.biased_exponent(), c.biased_exponent);
        EXPECT_EQ(bits.significand, c.significand);
        EXPECT_EQ(vkrt::classify(bits), c.kind);
        EXPECT_TRUE(stored_as(vkrt::assemble_extended(c.negative, c.biased_exponent, c.significand),
                              c.bytes));
        if (c.kind == K::nan) continue;
        EXPECT_EQ(x, c.value);
        if (c.kind != K::finite) continue;
        const long double weight = std::ldexp(1.0L, vkrt::lsb_exponent(c.biased_exponent));
        EXPECT_EQ(static_cast<long double>(c.significand) * weight, std::fabs(c.value));
    }
}

}  // namespace
