// The free-form input scanner on whole input texts: the accepted forms with
// the exact bits they give, null values, how far into the text the read
// goes, and every rejected form with its family code and message.
#include <gtest/gtest.h>
#include <string>

#include "diagnostics/error_codes.hpp"
#include "support/scan_text.hpp"

namespace {

using testing_support::scan_text;
using vkrt::ListScanOutcome;

constexpr const char bad[] = "Bad real number in item 1 of list input";
constexpr const char semicolon[] = "Semicolon not allowed as separator with DECIMAL='point'";
constexpr const char no_digits[] = "Error during floating point read";

struct Accepted {
    std::string text;
    unsigned sign_exponent;
    unsigned long long significand;
};

const unsigned long long j2000 = 0x95A1640000000000ull;  // 2451545 = 0x4014, this
const unsigned long long j2000_5 = 0x95A1660000000000ull;

TEST(InputScan, AcceptedFormsGiveTheirExactBits) {
    const Accepted cases[] = {
        {"2451545.0\n", 0x4014, j2000},
        {"2451545\n", 0x4014, j2000},
        {"+2451545.\n", 0x4014, j2000},
        {"2.451545E6\n", 0x4014, j2000},
        {"2451545d0\n", 0x4014, j2000},
        {"2.451545q+6\n", 0x4014, j2000},
        {"2451545.1\n", 0x4014, 0x95A1646666666666ull},
        {"0.1\n", 0x3FFB, 0xCCCCCCCCCCCCCCCDull},
        {"1.5+3\n", 0x4009, 0xBB80000000000000ull},
        {"1.5E3\n", 0x4009, 0xBB80000000000000ull},
        {"15E+2\n", 0x4009, 0xBB80000000000000ull},
        {".15+4\n", 0x4009, 0xBB80000000000000ull},
        {"-2.5D-1\n", 0xBFFD, 0x8000000000000000ull},
        {"3*2451545.5\n", 0x4014, j2000_5},
        {"   2451545.5   other text\n", 0x4014, j2000_5},
        {"2,451,545.0\n", 0x4000, 0x8000000000000000ull},
        {"2451545 2451546\n", 0x4014, j2000},
        {"inf\n", 0x7FFF, 0x8000000000000000ull},
        {"+Infinity\n", 0x7FFF, 0x8000000000000000ull},
        {"-INF\n", 0xFFFF, 0x8000000000000000ull},
        {"Inf\n", 0x7FFF, 0x8000000000000000ull},
        {"INF", 0x7FFF, 0x8000000000000000ull},
        {"NaN(0x1f)\n", 0x7FFF, 0xC000000000000000ull},
        {"nan\n", 0x7FFF, 0xC000000000000000ull},
        {"-nan\n", 0xFFFF, 0xC000000000000000ull},
        {"NAN()\n", 0x7FFF, 0xC000000000000000ull},
        {"NAN((x)\n", 0x7FFF, 0xC000000000000000ull},
        {"NAN (X)\n", 0x7FFF, 0xC000000000000000ull},
        {"-0.0\n", 0x8000, 0},
        {"-0\n", 0x8000, 0},
        {"1E4933\n", 0x7FFF, 0x8000000000000000ull},
        {"-1E99999\n", 0xFFFF, 0x8000000000000000ull},
        {"1E-5000\n", 0x0000, 0},
        {"4E-4951\n", 0x0000, 1},
        {"2451545.5", 0x4014, j2000_5},
        {"2451545.5\r\n", 0x4014, j2000_5},
        {"\r 2451545.5\r\n", 0x4014, j2000_5},
        {"\n\n2451545.5\n", 0x4014, j2000_5},
        {"  \t\r\n \n  2451545.5\n", 0x4014, j2000_5},
        {"\n,2451545.5\n", 0x4014, j2000_5},
        {"\n,  \n 2451545.5\n", 0x4014, j2000_5},
        {"\n/2451545.5\n", 0x4014, j2000_5},
        {"2451545.5 ;\n", 0x4014, j2000_5},
        {"2451545.5 /\n", 0x4014, j2000_5},
        {"2451545.5,", 0x4014, j2000_5},
        {"2451545.500000000000000000000001\n", 0x4014, j2000_5},
        {"0.1000000000000000000000000001\n", 0x3FFB, 0xCCCCCCCCCCCCCCCDull},
        {"200000000*2451545.5\n", 0x4014, j2000_5},
        {"0000000000003*2451545.5\n", 0x4014, j2000_5},
        {"2*-inf\n", 0xFFFF, 0x8000000000000000ull},
        {"2*nan\n", 0x7FFF, 0xC000000000000000ull},
        {"2451545.5 \x80\n", 0x4014, j2000_5},
        {"1E+19999\n", 0x7FFF, 0x8000000000000000ull},
        // Exponents beyond 19999 are taken as 19999 before the digits count.
        {"1" + std::string(25000, '0') + "E-20500\n", 0x7FFF, 0x8000000000000000ull},
    };
    for (const Accepted& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const auto scan = scan_text(c.text);
        ASSERT_EQ(scan.result.outcome, ListScanOutcome::value) << scan.result.message;
        EXPECT_EQ(scan.result.value.sign_exponent, c.sign_exponent);
        EXPECT_EQ(scan.result.value.significand, c.significand);
    }
}

TEST(InputScan, NullValuesLeaveTheDestinationAlone) {
    const char* cases[] = {
        ",\n", "/\n", "5*\n", "3*\n2451545.5\n", ",2451545.5\n", "/2451545.5\n",
        "  ,  2451545.5\n", "\n,,2451545.5\n", "\n/ 2451545.5\n", "\n//\n", "2* 7\n", "4*,\n",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        const auto scan = scan_text(text);
        EXPECT_EQ(scan.result.outcome, ListScanOutcome::null_value) << scan.result.message;
    }
}

// Where the read leaves the file: after the record holding the item's end,
// or at the end of the file; later records are never read.
TEST(InputScan, TheReadStopsAfterTheItemsRecord) {
    struct Case {
        const char* text;
        size_t taken;
    };
    const Case cases[] = {
        {"2451545.5\nnext\n", 10},
        {"2451545.5 2451546 more\nnext\n", 23},
        {"2451545.5 ; x\nnext\n", 14},
        {"2451545.5,\nnext\n", 11},
        {"2451545.5\r\nnext\n", 11},
        {"2451545.5\rx\nnext\n", 12},
        {"2451545.5 / x\nnext\n", 14},
        {"3*\n2451545.5\n", 3},
        {"\n\n 2451545.5\nnext\n", 13},
        {"NAN(x) junk\nnext\n", 12},
        {"2451545.5", 9},
        {"2451545.5   ", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto scan = scan_text(c.text);
        EXPECT_NE(scan.result.outcome, ListScanOutcome::failed) << scan.result.message;
        EXPECT_EQ(scan.taken, c.taken);
    }
}

TEST(InputScan, RejectedFormsGiveTheirCodeAndMessage) {
    struct Case {
        std::string text;
        int code;
        const char* message;
    };
    const int end = vkrt::LIBERROR_END;
    const int value = vkrt::LIBERROR_READ_VALUE;
    const Case cases[] = {
        {"", end, ""},
        {"  \t\r\n\n  \n", end, ""},
        {"\n,", end, ""},
        {"\n,  ", end, ""},
        {"\n/", end, ""},
        {"+", end, ""},
        {"2*", end, ""},
        {"1E", end, ""},
        {"1E+", end, ""},
        {"1.5-", end, ""},
        {"IN", end, ""},
        {"infini", end, ""},
        {"NA", end, ""},
        {"nan(abc", end, ""},
        {"2451545.0/", end, ""},
        {"2451545.0;\n", value, semicolon},
        {";\n", value, semicolon},
        {"  ;\n", value, semicolon},
        {"inf;\n", value, semicolon},
        {"2*;\n", value, semicolon},
        {"2451545.0x\n", value, bad},
        {"1.0.0\n", value, bad},
        {"1E\n", value, bad},
        {"1E+\n", value, bad},
        {"1E5.\n", value, bad},
        {"0x1p3\n", value, bad},
        {"abc\n", value, bad},
        {"+\n", value, bad},
        {"*5\n", value, bad},
        {"1.5*2\n", value, bad},
        {"+3*2\n", value, bad},
        {"3*4*5\n", value, bad},
        {"3*x\n", value, bad},
        {"INFIN\n", value, bad},
        {"INFINITE\n", value, bad},
        {"infx\n", value, bad},
        {"NAN(1 2)\n", value, bad},
        {"NAN(1,2)\n", value, bad},
        {"NAN(1)x\n", value, bad},
        {"NANA\n", value, bad},
        {"\xEF\xBB\xBF" "2451545.0\n", value, bad},
        {"\v2451545.0\n", value, bad},
        {"2451545.0\x80\n", value, bad},
        {"\f2451545.0\n", value, bad},
        {"\n;\n", value, bad},
        {"\n , ;\n", value, bad},
        {"NAN(" + std::string(295, 'x') + ")\n", value, bad},
        {".\n", value, no_digits},
        {"+.\n", value, no_digits},
        {".E5\n", value, no_digits},
        {"-.e-5\n", value, no_digits},
        {"3*.\n", value, no_digits},
        {"0*2451545.5\n", value, "Zero repeat count in item 1 of list input"},
        {"000*\n", value, "Zero repeat count in item 1 of list input"},
        {"200000001*2451545.5\n", value, "Repeat count overflow in item 1 of list input"},
        {"99999999999999999999*\n", value, "Repeat count overflow in item 1 of list input"},
        // A failure of the separator is reported before one of the conversion.
        {".;\n", value, semicolon},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const auto scan = scan_text(c.text);
        ASSERT_EQ(scan.result.outcome, ListScanOutcome::failed);
        EXPECT_EQ(scan.result.code, c.code);
        EXPECT_STREQ(scan.result.message, c.message);
    }
}

TEST(InputScan, NanPayloadsFitUpTo294Characters) {
    const auto fits = scan_text("NAN(" + std::string(294, 'x') + ")\n");
    EXPECT_EQ(fits.result.outcome, ListScanOutcome::value);
    const auto long_one = scan_text("-NAN(" + std::string(294, '(') + ")");
    EXPECT_EQ(long_one.result.outcome, ListScanOutcome::value);
    EXPECT_EQ(long_one.result.value.sign_exponent, 0xFFFF);
}

}  // namespace
