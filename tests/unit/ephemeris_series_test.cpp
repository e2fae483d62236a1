// Chebyshev evaluation against hand-derived values: polynomial values and
// derivatives at a point where all of them are exact in binary, and the
// sub-interval and normalised time each body gets for a date.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/fpu.hpp"
#include "ephemeris/constants.hpp"
#include "ephemeris/chebyshev.hpp"
#include "ephemeris/record_cache.hpp"
#include "ephemeris/truncate.hpp"

namespace {

using ephemeris::buf;

TEST(Cheb, ValuesAndDerivativesAtAnExactPoint) {
    vkrt::reset_floating_point_unit();
    // x = ((t - ta) * 2) / h - 1 = 0.5 for t three quarters into a 16-day span.
    // T_n(0.5) = cos(n pi/3); T_n'(0.5) = n sin(n pi/3) / sin(pi/3); d/dt = (2/h) d/dx.
    const long double expected_t[8] = {1, 0.5L, -0.5L, -1, -0.5L, 0.5L, 1, 0.5L};
    const long double expected_dx[8] = {0, 1, 2, 0, -4, -5, 0, 7};
    long double t[16] = {}, dt[16] = {};
    const int32_t n = 7, with_velocity = 1;
    cheb(100.0L, 116.0L, 112.0L, n, with_velocity, t, dt);
    for (int i = 0; i <= n; ++i) {
        EXPECT_EQ(t[i], expected_t[i]) << i;
        EXPECT_EQ(dt[i], expected_dx[i] * 0.125L) << i;
    }
    // Without velocities the derivatives are left as they were.
    long double untouched[16];
    for (long double& v : untouched) v = 42.0L;
    const int32_t without_velocity = 0;
    cheb(100.0L, 116.0L, 100.0L, n, without_velocity, t, untouched);
    EXPECT_EQ(t[3], -1.0L);  // x = -1: T_n = (-1)^n
    for (long double v : untouched) EXPECT_EQ(v, 42.0L);
}

// Each sub-interval m of `body` gets T_0 coefficient m and T_1 coefficient 1
// for x, so coor's x is m + the normalised time.
void mark_sub_intervals(int start, int stride, int count) {
    for (int m = 0; m < count; ++m) {
        buf[start + stride * m] = m;
        buf[start + stride * m + 1] = 1;
    }
}

TEST(Coor, SubIntervalAndNormalisedTimeOfEachBody) {
    vkrt::reset_floating_point_unit();
    for (double& v : buf) v = 0;
    buf[1] = 2451536.5L;
    buf[2] = 2451568.5L;
    // Start, stride and sub-intervals as published, not the program's table.
    const struct {
        int body, start, stride, count;
        long double x_plus_m;
    } cases[] = {
        {1, 3, 42, 4, 1 - 0.875L},    {2, 171, 30, 2, 0.0625L},
        {3, 231, 39, 2, 0.0625L},     {4, 309, 0, 1, -0.46875L},
        {9, 423, 0, 1, -0.46875L},     {10, 441, 39, 8, 2 - 0.75L},
        {11, 753, 33, 2, 0.0625L},
    };
    for (const auto& c : cases) {
        mark_sub_intervals(c.start, c.stride, c.count);
        long double r[6];
        for (long double& v : r) v = 7.0L;
        const int32_t body = c.body, recompute = 1, position_only = 0;
        coor(body, 2451545.0L, recompute, position_only, r);
        EXPECT_EQ(r[0], c.x_plus_m) << "body " << c.body;
        EXPECT_EQ(r[1], 0.0L);
        EXPECT_EQ(r[3], 7.0L) << "velocity slots untouched without velocities";
    }
}

TEST(Coor, BoundariesBelongToTheLaterSubInterval) {
    vkrt::reset_floating_point_unit();
    for (double& v : buf) v = 0;
    buf[1] = 1000.0L;
    buf[2] = 1032.0L;
    mark_sub_intervals(441, 39, 8);
    const int32_t moon = 10, recompute = 1, position_only = 0;
    long double r[6];
    coor(moon, 1004.0L, recompute, position_only, r);
    EXPECT_EQ(r[0], 1 - 1.0L);  // sub-interval 1 at x = -1
    coor(moon, 1031.5L, recompute, position_only, r);
    EXPECT_EQ(r[0], 7 + 0.75L);
    // The record's end date, reachable only with records off the 32-day grid,
    // is held to the last sub-interval (x = +1) instead of reading past it.
    coor(moon, 1032.0L, recompute, position_only, r);
    EXPECT_EQ(r[0], 7 + 1.0L);
}


TEST(Coor, AtTheRecordStartEachSeriesIsItsAlternatingSum) {
    vkrt::reset_floating_point_unit();
    for (double& v : buf) v = 0;
    buf[1] = 2000.0;
    buf[2] = 2032.0;
    // Mercury's x coefficients 1, 2, 4, ..., 2^13: T_k(-1) = (-1)^k, so the
    // sum is 1 - 2 + 4 - ... - 2^13 = (1 - (-2)^14) / 3 = -5461.
    for (int k = 0; k <= 13; ++k) buf[3 + k] = static_cast<double>(1 << k);
    long double r[6];
    const int32_t mercury = 1, recompute = 1, with_velocity = 1;
    coor(mercury, 2000.0L, recompute, with_velocity, r);
    EXPECT_EQ(r[0], -5461.0L);
    // dT_k/dx at -1 is (-1)^(k+1) k^2 and d/dt = (2/8) d/dx, so the velocity
    // is the sum over k = 1..13 of (-1)^(k+1) k^2 2^k, 969690, over 4.
    EXPECT_EQ(r[3], 969690.0L / 4);
}

TEST(Coor, MercurysLastSubIntervalStartsAtValue129) {
    vkrt::reset_floating_point_unit();
    for (double& v : buf) v = 0;
    buf[1] = 2000.0;
    buf[2] = 2032.0;
    buf[129] = 1.0;  // x, T_0
    buf[143] = 2.0;  // y, T_0
    buf[157] = 3.0;  // z, T_0
    long double r[6];
    const int32_t mercury = 1, recompute = 1, position_only = 0;
    coor(mercury, 2031.0L, recompute, position_only, r);
    EXPECT_EQ(r[0], 1.0L);
    EXPECT_EQ(r[1], 2.0L);
    EXPECT_EQ(r[2], 3.0L);
}

TEST(Constants, FormedFromTheirExactBitPatterns) {
    const struct {
        long double value;
        uint16_t exponent;
        uint64_t significand;
    } cases[] = {{ephemeris::au, 0x401A, 0x8EAAEAEB33333333u},
                 {ephemeris::moon_share, 0x3FF8, 0xC7133EA6DF387332u}};
    for (const auto& c : cases) {
        unsigned char bytes[sizeof(long double)];
        std::memcpy(bytes, &c.value, sizeof bytes);
        uint64_t significand;
        uint16_t exponent;
        std::memcpy(&significand, bytes, 8);
        std::memcpy(&exponent, bytes + 8, 2);
        EXPECT_EQ(significand, c.significand);
        EXPECT_EQ(exponent, c.exponent);
    }
}

}  // namespace

namespace {

TEST(Truncate, TowardZeroAndIntegerIndefiniteOutOfRange) {
    const struct {
        long double x;
        int32_t expected;
    } cases[] = {
        {12556.999L, 12556},         {-0.75L, 0},
        {2147483647.9L, INT32_MAX},  {-2147483648.9L, INT32_MIN},
        {2147483648.0L, INT32_MIN},  {-2147483649.0L, INT32_MIN},
        {__builtin_nanl(""), INT32_MIN}, {__builtin_infl(), INT32_MIN},
        {-__builtin_infl(), INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(ephemeris::truncate_to_int32(c.x), c.expected) << (double)c.x;
}

}  // namespace
