#include "diagnostics/line_buffer.hpp"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string text_of(const vkrt::LineBuffer& line) { return std::string(line.data(), line.size()); }

TEST(LineBuffer, FormatsDecimalAndHexWithoutFill) {
    struct Case {
        int64_t decimal;
        uint64_t hex;
        const char* want;
    };
    const Case cases[] = {
        {0, 0, "0 0x0"},
        {-2147483648LL, 0xffULL, "-2147483648 0xff"},
        {INT64_MIN, 0x7f0012345678ULL, "-9223372036854775808 0x7f0012345678"},
        {35, UINT64_MAX, "35 0xffffffffffffffff"},
    };
    for (const Case& c : cases) {
        vkrt::LineBuffer line;
        line.decimal(c.decimal).text(" 0x").hex(c.hex);
        EXPECT_EQ(text_of(line), c.want);
    }
}

TEST(LineBuffer, CutsLinesAt511Bytes) {
    vkrt::LineBuffer line;
    const std::string long_name(600, 'n');
    line.text("#0  0x1 in ").text(long_name.c_str()).ch('\n');
    EXPECT_EQ(line.size(), 511u);
    EXPECT_EQ(text_of(line).substr(0, 11), "#0  0x1 in ");
}

}  // namespace
