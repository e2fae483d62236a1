// Failing comparisons print extended reals in full.
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(ExtendedPrint, ValuesOneUnitApartReadDifferently) {
    // 1 + 2^-63: significand 8000000000000001, biased exponent 3fff.
    const long double above_one = 1.0L + 0x1p-63L;
    EXPECT_EQ(testing::PrintToString(above_one),
              "1.00000000000000000011 (0x8.000000000000001p-3, 3fff:8000000000000001)");
    EXPECT_EQ(testing::PrintToString(-0.0L), "-0 (-0x0p+0, 8000:0000000000000000)");
    EXPECT_EQ(testing::PrintToString(std::numeric_limits<long double>::denorm_min()),
              "3.64519953188247460253e-4951 (0x0.000000000000001p-16385, 0000:0000000000000001)");
    // What a failing EXPECT_EQ writes.
    const testing::AssertionResult result = testing::internal::EqHelper::Compare(
        "want", "got", 1.0L, above_one);
    EXPECT_NE(std::string(result.message()).find("3fff:8000000000000000"), std::string::npos)
        << result.message();
}

}  // namespace
