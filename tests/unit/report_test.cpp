// Stop texts, the exception note and error reports, checked byte for byte on
// standard error together with the exit status, each in a child process.
#include <cerrno>
#include <cfloat>
#include <csignal>
#include <gtest/gtest.h>
#include <string>

#include "diagnostics/error_codes.hpp"
#include "diagnostics/options.hpp"
#include "diagnostics/report.hpp"
#include "diagnostics/signals.hpp"
#include "driver/fpu.hpp"
#include "fileio/units.hpp"
#include "support/child_process.hpp"
#include "support/scratch_dir.hpp"

namespace {

using testing_support::run_in_child;
using testing_support::RunResult;

// The program's own settings, except that traces are off unless asked for.
void use_program_settings(int32_t backtrace = 0) {
    vkrt::reset_floating_point_unit();
    vkrt::set_startup_settings({10308, 16383, 0, backtrace, 1, 0, 31});
    if (backtrace != 0) vkrt::install_fatal_signal_handlers();
}

// Flags raised on purpose, in one unit or the other.
void x87_invalid() { volatile long double z = 0.0L; z = z / z; }
void x87_denormal() { volatile long double d = LDBL_TRUE_MIN, two = 2.0L; d = d * two; }
void x87_overflow() { volatile long double m = LDBL_MAX; m = m * 2.0L; }
void x87_divide_by_zero() { volatile long double z = 0.0L; z = 1.0L / z; }
void x87_inexact() { volatile long double t = 3.0L; t = 1.0L / t; }
void sse_divide_by_zero() { volatile double z = 0.0; z = 1.0 / z; }
void sse_underflow() { volatile double m = DBL_MIN; m = m * DBL_MIN; }
void sse_invalid() { volatile double z = 0.0; z = z / z; }

const char range_text[] = "Date out of fund de440 (1549.12.21 - 2650.01.25)";
const std::string note = "Note: The following floating-point exceptions are signalling:";

TEST(Stop, WritesTheNoteOfRaisedFlagsInFixedOrderThenTheStopLine) {
    struct Case {
        const char* what;
        void (*raise[3])();
        std::string want_note;
    };
    const Case cases[] = {
        {"nothing raised", {}, ""},
        {"inexact alone", {x87_inexact}, ""},
        {"invalid and denormal", {x87_invalid, x87_denormal}, note + " IEEE_INVALID_FLAG IEEE_DENORMAL\n"},
        {"overflow before denormal", {x87_denormal, x87_overflow}, note + " IEEE_OVERFLOW_FLAG IEEE_DENORMAL\n"},
        {"both units, named once", {x87_divide_by_zero, sse_divide_by_zero}, note + " IEEE_DIVIDE_BY_ZERO\n"},
        {"SSE alone", {sse_underflow}, note + " IEEE_UNDERFLOW_FLAG\n"},
        {"all five",
         {sse_invalid, x87_overflow, [] { x87_denormal(); sse_underflow(); x87_divide_by_zero(); }},
         note + " IEEE_INVALID_FLAG IEEE_DIVIDE_BY_ZERO IEEE_OVERFLOW_FLAG IEEE_UNDERFLOW_FLAG IEEE_DENORMAL\n"},
    };
    for (const Case& c : cases) {
        RunResult r = run_in_child([&] {
            use_program_settings();
            for (auto raise : c.raise) {
                if (raise != nullptr) raise();
            }
            vkrt::stop_with_text(range_text, sizeof range_text - 1, false);
        });
        EXPECT_EQ(r.exit_status, 0) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
        EXPECT_EQ(r.err, c.want_note + "STOP " + range_text + "\n") << c.what;
    }
}

TEST(Stop, NoNoteBeforeTheProgramSetsItsMaskAndNothingWhenQuiet) {
    RunResult before_options = run_in_child([] {
        vkrt::reset_floating_point_unit();
        x87_invalid();
        vkrt::stop_with_text("x", 1, false);
    });
    EXPECT_EQ(before_options.err, "STOP x\n");
    RunResult quiet = run_in_child([] {
        use_program_settings();
        x87_invalid();
        vkrt::stop_with_text("x", 1, true);
    });
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.exit_status, 0);
}

TEST(Stop, WritesTheTextBytesExactlyAsGiven) {
    RunResult r = run_in_child([] {
        use_program_settings();
        vkrt::stop_with_text("ab\0cd  ", 7, false);
    });
    EXPECT_EQ(r.err, std::string("STOP ab\0cd  \n", 13));
}

TEST(RuntimeError, LocusLineTakesOneOfThreeForms) {
    testing_support::ScratchDir dir;
    struct Case {
        vkrt::Locus where;
        std::string want_locus;
    };
    const Case cases[] = {
        {{"vorkane", 3, 10}, "At line 3 of file vorkane (unit = 10, file = 'vorkane.in')\n"},
        {{"vorkane", 35, 30}, "At line 35 of file vorkane (unit = 30, file = 'trail')\n"},
        {{"vorkane", 4, 20}, "At line 4 of file vorkane (unit = 20)\n"},
        {{"vorkane", 5, 0}, "At line 5 of file vorkane\n"},
        {{"vorkane", 6, -1}, "At line 6 of file vorkane\n"},
        {{nullptr, 7, 10}, ""},
    };
    for (const Case& c : cases) {
        RunResult r = run_in_child(
            [&] {
                use_program_settings();
                vkrt::open_unit({"vorkane", 2, 10}, "vorkane.in", vkrt::Access::sequential, 0);
                vkrt::open_unit({"vorkane", 29, 30}, "trail   ", vkrt::Access::direct, 9104);
                vkrt::runtime_error(c.where, vkrt::LIBERROR_END, nullptr);
            },
            {.directory = dir.path()});
        EXPECT_EQ(r.exit_status, 2);
        EXPECT_EQ(r.err, c.want_locus + "Run-time error: End of file\n");
        EXPECT_EQ(r.out, "");
    }
}

// The line buffer holds 511 bytes: a longer locus line is cut to 510 and
// keeps its line feed.
TEST(RuntimeError, LocusLineCutAt511BytesKeepsItsLineFeed) {
    const std::string head = "At line 5 of file ";
    for (const size_t length : {509u, 510u, 511u, 512u, 600u}) {
        const std::string source(length - head.size(), 's');
        RunResult r = run_in_child([&] {
            use_program_settings();
            vkrt::runtime_error({source.c_str(), 5, 0}, vkrt::LIBERROR_END, nullptr);
        });
        const std::string want = (head + source).substr(0, 510) + "\n";
        EXPECT_EQ(r.err, want + "Run-time error: End of file\n") << length;
    }
}

TEST(RuntimeError, ChoosesOwnTextThenSystemTextThenGenericText) {
    struct Case {
        vkrt::LibError code;
        const char* message;
        std::string want;
    };
    const Case cases[] = {
        {vkrt::LIBERROR_BAD_OPTION, "Non-existing record number", "Non-existing record number"},
        {vkrt::LIBERROR_OS, nullptr, "No such file or directory"},
        {vkrt::LIBERROR_END, nullptr, "End of file"},
        {vkrt::LIBERROR_EOR, nullptr, "End of record"},
        {vkrt::LIBERROR_READ_VALUE, nullptr, "Bad value during read"},
        {vkrt::LIBERROR_ALLOCATION, nullptr, "Unknown error code"},
        {vkrt::LIBERROR_NO_MEMORY, nullptr, "Unknown error code"},
        {static_cast<vkrt::LibError>(4711), nullptr, "Unknown error code"},
    };
    for (const Case& c : cases) {
        RunResult r = run_in_child([&] {
            use_program_settings();
            errno = ENOENT;
            vkrt::runtime_error({"vorkane", 3, 0}, c.code, c.message);
        });
        EXPECT_EQ(r.err, "At line 3 of file vorkane\nRun-time error: " + c.want + "\n");
    }
}

// Every family by its number, with the texts as the error table lists them.
TEST(RuntimeError, GenericTextOfEveryFamily) {
    const char* const texts[] = {
        "Operating system error", "Conflicting statement options", "Bad statement option",
        "Missing statement option", "File already opened in another unit", "Unattached unit",
        "FORMAT error", "Incorrect ACTION specified", "Read past ENDFILE record",
        "Corrupt unformatted sequential file", "Bad value during read", "Numeric overflow on read",
        "Internal error in run-time library", "Internal unit I/O error", "Unknown error code",
        "Write exceeds length of DIRECT access record", "I/O past end of record on unformatted file",
        "Unformatted file structure has been corrupted",
        "Inquire statement identifies an internal file", "Bad ID in WAIT statement",
        "Unknown error code", "Unknown error code"};
    int code = 5000;
    for (const char* text : texts) {
        EXPECT_STREQ(vkrt::generic_error_text(static_cast<vkrt::LibError>(code)), text) << code;
        ++code;
    }
    EXPECT_STREQ(vkrt::generic_error_text(static_cast<vkrt::LibError>(-2)), "End of record");
    EXPECT_STREQ(vkrt::generic_error_text(static_cast<vkrt::LibError>(0)), "Successful return");
    EXPECT_STREQ(vkrt::generic_error_text(static_cast<vkrt::LibError>(-3)), "Unknown error code");
}

TEST(RuntimeError, TraceHeadingFollowsWhenBacktraceIsOn) {
    RunResult r = run_in_child([] {
        use_program_settings(1);
        vkrt::runtime_error({"vorkane", 3, 0}, vkrt::LIBERROR_END, nullptr);
    });
    EXPECT_EQ(r.exit_status, 2);
    const std::string head = "At line 3 of file vorkane\nRun-time error: End of file\n\nError termination. Backtrace:\n";
    EXPECT_EQ(r.err.substr(0, head.size()), head);
}

TEST(OtherReports, SystemAndInternalErrorsHaveTheirStatus) {
    RunResult os = run_in_child([] {
        use_program_settings();
        errno = ENOMEM;
        vkrt::os_error("Memory allocation failed");
    });
    EXPECT_EQ(os.exit_status, 1);
    EXPECT_EQ(os.err, "Operating system error: Cannot allocate memory\nMemory allocation failed\n");

    RunResult internal = run_in_child([] {
        use_program_settings();
        const vkrt::Locus where{"vorkane", 8, 0};
        vkrt::internal_error(&where, "Unsupported real kind during IO");
    });
    EXPECT_EQ(internal.exit_status, 3);
    EXPECT_EQ(internal.err, "At line 8 of file vorkane\nInternal Error: Unsupported real kind during IO\n");

    RunResult no_locus = run_in_child([] {
        use_program_settings();
        vkrt::internal_error(nullptr, "x");
    });
    EXPECT_EQ(no_locus.err, "Internal Error: x\n");
}

TEST(OtherReports, ASecondReportAbortsWithTheAbortHeading) {
    RunResult r = run_in_child([] {
        use_program_settings(1);
        vkrt::write_runtime_error({"vorkane", 3, 0}, vkrt::LIBERROR_END, nullptr);
        vkrt::runtime_error({"vorkane", 3, 0}, vkrt::LIBERROR_END, nullptr);
    });
    EXPECT_EQ(r.signal, SIGABRT);
    const std::string first = "At line 3 of file vorkane\nRun-time error: End of file\n\nError termination. Backtrace:\n";
    ASSERT_EQ(r.err.substr(0, first.size()), first);
    EXPECT_NE(r.err.find("\nProgram aborted. Backtrace:\n", first.size()), std::string::npos);
    EXPECT_EQ(r.err.find("Run-time error", first.size()), std::string::npos);
}

TEST(OtherReports, ClosedStandardErrorKeepsEveryExitStatus) {
    testing_support::ChildOptions closed;
    closed.close_stderr = true;
    EXPECT_EQ(run_in_child([] { use_program_settings(1); vkrt::stop_with_text("x", 1, false); }, closed).exit_status, 0);
    EXPECT_EQ(run_in_child([] { use_program_settings(1); vkrt::runtime_error({"v", 3, 10}, vkrt::LIBERROR_END, nullptr); }, closed).exit_status, 2);
    EXPECT_EQ(run_in_child([] { use_program_settings(1); vkrt::os_error("m"); }, closed).exit_status, 1);
    EXPECT_EQ(run_in_child([] { use_program_settings(1); vkrt::internal_error(nullptr, "m"); }, closed).exit_status, 3);
}

}  // namespace
