// Records of formatted write statements: fields side by side, format
// reversion into new records, CR LF after every record, and the formats the
// parser accepts.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/dotted_text.hpp"
#include "support/record_writing.hpp"
#include "textio/format_write.hpp"
#include "textio/g_format.hpp"

namespace {

using testing_support::nearest;
using testing_support::program_settings;

std::string records(const char* format, const std::vector<long double>& values) {
    std::string out;
    const vkrt::ByteSink sink = testing_support::string_sink(&out);
    EXPECT_TRUE(vkrt::write_records(format, values.data(), static_cast<int>(values.size()),
                                    program_settings, sink));
    return out;
}

TEST(FormattedWrite, RecordOfThreeFieldsKeepsTrailingBlanks) {
    const std::vector<long double> values = {nearest("0.9672416237"), nearest("-0.1771354586"),
                                             nearest("-0.0767990412")};
    EXPECT_EQ(records("(3g25.16)", values),
              testing_support::undot("···0.9672416237000000······-0.1771354586000000······-0.7679904120000000E-01") + "\r\n");
    EXPECT_EQ(records("(3g25.16)", {1.0L, 2.0L, 3.0L}),
              "    1.000000000000000        2.000000000000000        3.000000000000000    \r\n");
}

TEST(FormattedWrite, RecordShapes) {
    struct Case {
        const char* format;
        int count;
        std::vector<size_t> record_lengths;  // without the terminator
    };
    const Case cases[] = {
        {"(g25.16)", 1, {25}},
        {"(3g25.16)", 60, std::vector<size_t>(20, 75)},
        {"(3g25.16)", 4, {75, 25}},
        {"(3g25.16)", 5, {75, 50}},
        {"(3g25.16)", 3, {75}},
        {"(g25.16)", 3, {25, 25, 25}},
        {"(2G10.3)", 3, {20, 10}},
        {"(3g25.16)", 0, {0}},
    };
    for (const Case& c : cases) {
        const std::vector<long double> values(static_cast<size_t>(c.count), 0.5L);
        std::string want;
        for (size_t length : c.record_lengths) want += std::string(length, '#') + "\r\n";
        std::string got = records(c.format, values);
        for (char& ch : got) {
            if (ch != '\r' && ch != '\n') ch = '#';
        }
        EXPECT_EQ(got, want) << c.format << " with " << c.count << " values";
    }
}

// The date and the 60 numbers through the program's two statements.
TEST(FormattedWrite, FullOutputIs1567Bytes) {
    std::vector<long double> state(60);
    for (int i = 0; i < 60; ++i) state[static_cast<size_t>(i)] = (i % 2 ? -1.0L : 1.0L) * (i + 1) / 7.0L;
    const std::string out = records("(g25.16)", {2451545.0L}) + records("(3g25.16)", state);
    ASSERT_EQ(out.size(), 1567u);
    EXPECT_EQ(out.substr(0, 27), "    2451545.000000000    \r\n");
    for (size_t end = 27 + 77; end <= out.size(); end += 77) {
        EXPECT_EQ(out.substr(end - 2, 2), "\r\n") << "record ending at " << end;
    }
    size_t terminators = 0;
    for (size_t at = out.find("\r\n"); at != std::string::npos; at = out.find("\r\n", at + 2)) {
        ++terminators;
    }
    EXPECT_EQ(terminators, 21u);
    EXPECT_EQ(out.substr(27, 25), "   0.1428571428571429    ");
}

TEST(FormattedWrite, FormatTexts) {
    struct Case {
        const char* text;
        bool valid;
        int repeat, width, digits;
    };
    const Case cases[] = {
        {"(g25.16)", true, 1, 25, 16},
        {"(3g25.16)", true, 3, 25, 16},
        {"(3G25.16)", true, 3, 25, 16},
        {" ( 12 g 7 . 2 ) ", true, 12, 7, 2},
        {"(g128.18)", true, 1, 128, 18},
        {"(g129.16)", false, 0, 0, 0},
        {"(g25.19)", false, 0, 0, 0},
        {"(0g25.16)", false, 0, 0, 0},
        {"(g0.16)", false, 0, 0, 0},
        {"(g25.0)", false, 0, 0, 0},
        {"(g25)", false, 0, 0, 0},
        {"(g25.16", false, 0, 0, 0},
        {"g25.16", false, 0, 0, 0},
        {"(g25.16)x", false, 0, 0, 0},
        {"(3f25.16)", false, 0, 0, 0},
        {"(3g25.16,g25.16)", false, 0, 0, 0},
        {"(99999999999g25.16)", false, 0, 0, 0},
        {"", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        vkrt::GDescriptor descriptor{};
        ASSERT_EQ(vkrt::parse_g_format(c.text, descriptor), c.valid) << '"' << c.text << '"';
        if (!c.valid) continue;
        EXPECT_EQ(descriptor.repeat, c.repeat) << c.text;
        EXPECT_EQ(descriptor.width, c.width) << c.text;
        EXPECT_EQ(descriptor.digits, c.digits) << c.text;
    }
    std::string out;
    const vkrt::ByteSink sink = testing_support::string_sink(&out);
    const long double value = 1.0L;
    EXPECT_FALSE(vkrt::write_records("(3f25.16)", &value, 1, program_settings, sink));
    EXPECT_EQ(out, "");
}

}  // namespace
