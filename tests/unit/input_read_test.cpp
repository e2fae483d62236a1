// The read statement on unit 10: what reaches the destination slot (ten
// bytes of value, the rest of the slot untouched, nothing at all after a
// null value) and the exact run-time error reports of a failed read.
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "diagnostics/options.hpp"
#include "fileio/units.hpp"
#include "support/child_process.hpp"
#include "support/scratch_dir.hpp"
#include "textio/list_read.hpp"

namespace {

using testing_support::ChildOptions;
using testing_support::run_in_child;
using testing_support::RunResult;
using testing_support::ScratchDir;

// Reads vorkane.in into a slot filled with 0xA5 and writes the slot's 16
// bytes to standard output.
RunResult read_date(const std::string& input) {
    ScratchDir dir;
    dir.write("vorkane.in", input);
    ChildOptions options;
    options.directory = dir.path();
    RunResult r = run_in_child([] {
        vkrt::set_startup_settings({10308, 16383, 0, 0, 1, 0, 31});  // no call-stack trace
        vkrt::open_unit({"vorkane", 2, 10}, "vorkane.in", vkrt::Access::sequential, 0);
        long double date;
        std::memset(&date, 0xA5, sizeof date);
        vkrt::read_real_list({"vorkane", 3, 10}, date);
        if (::write(1, &date, sizeof date) != sizeof date) _exit(9);
    }, options);
    EXPECT_EQ(dir.read("vorkane.in"), input);
    EXPECT_FALSE(dir.exists("vorkane.out"));
    return r;
}

TEST(InputRead, AValueFillsTenBytesOfTheSlotAndANullValueNone) {
    const RunResult value = read_date("  2451545.0  next\r\n2451600\r\n");
    EXPECT_EQ(value.exit_status, 0);
    EXPECT_EQ(value.out, std::string("\x00\x00\x00\x00\x00\x64\xA1\x95\x14\x40", 10) +
                             std::string(6, '\xA5'));
    const RunResult nan = read_date("-nan(7)\n");
    EXPECT_EQ(nan.out, std::string("\x00\x00\x00\x00\x00\x00\x00\xC0\xFF\xFF", 10) +
                           std::string(6, '\xA5'));
    for (const char* null_input : {",\n", "/\n", "5*\n2451545.0\n"}) {
        const RunResult null = read_date(null_input);
        EXPECT_EQ(null.exit_status, 0) << null_input;
        EXPECT_EQ(null.out, std::string(16, '\xA5')) << null_input;
    }
}

TEST(InputRead, FailuresAreReportedAtLine3OfUnit10) {
    struct Case {
        const char* input;
        const char* message;
    };
    const Case cases[] = {
        {"", "End of file"},
        {"\n  \n", "End of file"},
        {"2451545.0/", "End of file"},
        {"2451545.0;\n", "Semicolon not allowed as separator with DECIMAL='point'"},
        {"2451545.0x\n", "Bad real number in item 1 of list input"},
        {"+.\n", "Error during floating point read"},
        {"0*2451545.5\n", "Zero repeat count in item 1 of list input"},
        {"200000001*2451545.5\n", "Repeat count overflow in item 1 of list input"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const RunResult r = read_date(c.input);
        EXPECT_EQ(r.exit_status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string("At line 3 of file vorkane (unit = 10, file = 'vorkane.in')\n"
                                     "Run-time error: ") + c.message + "\n");
    }
}

}  // namespace
