// The start-up reset of the floating-point units from a disturbed state:
// short precision, rounding toward zero, flush-to-zero and every flag raised
// before; 64-bit significands, rounding to nearest, all masked, no flag after.
#include <cstdint>
#include <gtest/gtest.h>

#include "driver/fpu.hpp"

namespace {

// The x87 environment as FNSTENV stores it in 32-bit protected mode layout.
struct X87Environment {
    uint16_t control, unused1, status, unused2;
    uint32_t rest[5];
};

void disturb_both_units() {
    X87Environment env;
    __asm__ volatile("fnstenv %0" : "=m"(env));
    env.control = 0x0C7F;  // 24-bit significands, round toward zero, masked
    env.status |= 0x3F;    // every exception flag raised
    __asm__ volatile("fldenv %0" : : "m"(env));
    const uint32_t mxcsr = 0xFFFF;  // flags, DAZ, masks, round toward zero, FTZ
    __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr));
}

uint16_t x87_control() {
    uint16_t cw;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

uint16_t x87_status() {
    uint16_t sw;
    __asm__ volatile("fnstsw %0" : "=m"(sw));
    return sw;
}

uint32_t sse_control_status() {
    uint32_t mxcsr;
    __asm__ volatile("stmxcsr %0" : "=m"(mxcsr));
    return mxcsr;
}

TEST(FloatingPointUnit, ResetFromADisturbedState) {
    disturb_both_units();
    ASSERT_EQ(x87_control(), 0x0C7F);
    vkrt::reset_floating_point_unit();
    // x87: precision control 11 (64 bits), rounding control 00 (nearest),
    // the six exception masks and the reserved bit 6 set.
    EXPECT_EQ(x87_control(), 0x037F);
    EXPECT_EQ(x87_status() & 0x3F, 0);
    // SSE: the six masks (bits 7 to 12), nearest, no DAZ, no FTZ, no flag.
    EXPECT_EQ(sse_control_status(), 0x1F80u);

    // And the arithmetic that follows: one ulp of a 64-bit significand above
    // 1 survives, an exact tie rounds to even, just above a tie rounds up.
    volatile long double one = 1.0L;
    volatile long double ulp = 0x1p-63L, half_ulp = 0x1p-64L, above_half = 0x1p-64L + 0x1p-80L;
    EXPECT_EQ(one + ulp, 1.0L + 0x1p-63L);
    EXPECT_EQ(one + half_ulp, 1.0L);
    EXPECT_EQ(one + above_half, 1.0L + 0x1p-63L);
}

}  // namespace
