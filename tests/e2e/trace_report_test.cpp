// Call-stack traces after run-time error reports of the built program,
// checked line by line: the program's own routines with their source lines,
// nothing from the run-time support, the last frame "main"; and the
// fall-backs of a program file without symbols or line tables, or one that
// cannot be read.
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "diagnostics/report.hpp"
#include "support/child_process.hpp"
#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"
#include "trace_frames.hpp"

namespace {

using testing_support::RunResult;
using trace_test::Frame;
using trace_test::Trace;
using trace_test::read_trace;

const std::string heading = "\nError termination. Backtrace:\n";
const std::string prefix = vkrt::runtime_error_prefix;

std::string main_source() { return trace_test::repository_root() + "/src/driver/main.cpp"; }

std::string main_at(const std::string& call_text) {
    return main_source() + ":" +
           std::to_string(trace_test::line_containing("src/driver/main.cpp", call_text));
}

// vorkane.in as a directory: the connection at line 2 fails.
void make_input_a_directory(const testing_support::ScratchDir& dir) {
    ASSERT_EQ(::mkdir(dir.file("vorkane.in").c_str(), 0755), 0);
}

TEST(TraceReport, FailedConnectionShowsMainAtTheOpenStatement) {
    testing_support::ScratchDir dir;
    make_input_a_directory(dir);
    const RunResult result = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(result.exit_status, 2);
    const Trace trace = read_trace(result.err, heading);
    EXPECT_EQ(trace.before.rfind("At line 2 of file vorkane (unit = 10)\n" + prefix, 0), 0u) << result.err;
    ASSERT_EQ(trace.frames.size(), 1u) << result.err;
    EXPECT_EQ(trace.frames[0].number, 0);
    EXPECT_EQ(trace.frames[0].name, "main");
    EXPECT_EQ(trace.frames[0].location, main_at("\"vorkane.in\""));
    EXPECT_TRUE(trace.stray.empty()) << result.err;
}

TEST(TraceReport, FailedReadOfTheDate) {
    testing_support::ScratchDir dir;
    dir.write("vorkane.in", "");
    const RunResult result = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(result.exit_status, 2);
    const Trace trace = read_trace(result.err, heading);
    EXPECT_EQ(trace.before, "At line 3 of file vorkane (unit = 10, file = 'vorkane.in')\n" + prefix +
                                "End of file\n" + heading);
    ASSERT_EQ(trace.frames.size(), 1u) << result.err;
    EXPECT_EQ(trace.frames[0].name, "main");
    EXPECT_EQ(trace.frames[0].location, main_at("read_real_list("));
    EXPECT_TRUE(trace.stray.empty()) << result.err;
}

TEST(TraceReport, FailedRecordReadShowsTheStateRoutine) {
    testing_support::ScratchDir dir;
    dir.write("vorkane.in", "2451545.0\n");  // and no data file: it is created empty
    const RunResult result = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(result.exit_status, 2);
    const Trace trace = read_trace(result.err, heading);
    EXPECT_EQ(trace.before, "At line 35 of file vorkane (unit = 30, file = '15502650.440')\n" + prefix +
                                "Non-existing record number\n" + heading);
    ASSERT_GE(trace.frames.size(), 2u) << result.err;
    bool state_routine_seen = false;
    for (size_t i = 0; i < trace.frames.size(); ++i) {
        const Frame& frame = trace.frames[i];
        EXPECT_EQ(frame.number, static_cast<int>(i));
        EXPECT_EQ(frame.name.find("vkrt::"), std::string::npos) << frame.name;
        // Every frame shown is the program's own, with its source line.
        EXPECT_EQ(frame.location.rfind(trace_test::repository_root() + "/src/", 0), 0u)
            << frame.name << " at " << frame.location;
        if (frame.name == "vorkane") {
            state_routine_seen = true;
            EXPECT_EQ(frame.location.rfind(trace_test::repository_root() + "/src/ephemeris/", 0), 0u);
        }
    }
    EXPECT_TRUE(state_routine_seen) << result.err;
    EXPECT_EQ(trace.frames.back().name, "main");
    EXPECT_EQ(trace.frames.back().location, main_at("vorkane(date"));
    EXPECT_TRUE(trace.stray.empty()) << result.err;
}

// Every frame's line lies in the routine the frame names, as the source
// text tells; where routines were inlined, frames at the same address go
// from the inlined routine outward, each caller's line calling the one
// before it (for the missing record: read_into_buf inlined into
// hold_record_for).
TEST(TraceReport, EveryFrameNamesTheRoutineItsLineLiesIn) {
    struct Case {
        const char* what;
        void (*prepare)(const testing_support::ScratchDir&);
    };
    const Case cases[] = {
        {"record read fails", [](const testing_support::ScratchDir& d) { d.write("vorkane.in", "2451545.0\n"); }},
        {"empty input", [](const testing_support::ScratchDir& d) { d.write("vorkane.in", ""); }},
        {"input is a directory", make_input_a_directory},
        {"output is a directory",
         [](const testing_support::ScratchDir& d) { ASSERT_EQ(::mkdir(d.file("vorkane.out").c_str(), 0755), 0); }},
    };
    for (const Case& c : cases) {
        testing_support::ScratchDir dir;
        c.prepare(dir);
        const RunResult result = testing_support::run_vorkane(dir.path());
        const Trace trace = read_trace(result.err, heading);
        ASSERT_FALSE(trace.frames.empty()) << c.what << "\n" << result.err;
        for (size_t i = 0; i < trace.frames.size(); ++i) {
            const Frame& frame = trace.frames[i];
            const size_t colon = frame.location.rfind(':');
            ASSERT_NE(colon, std::string::npos) << c.what << "\n" << result.err;
            const std::string file = frame.location.substr(0, colon);
            const int line = std::stoi(frame.location.substr(colon + 1));
            EXPECT_EQ(trace_test::routine_defined_at(file, line), trace_test::bare_name(frame.name))
                << c.what << ": frame " << i << "\n" << result.err;
            if (i > 0 && trace.frames[i - 1].address == frame.address) {
                const std::string callee = trace_test::bare_name(trace.frames[i - 1].name) + "(";
                std::ifstream in(file);
                std::string text;
                for (int n = 0; n < line && std::getline(in, text); ++n) {
                }
                EXPECT_NE(text.find(callee), std::string::npos) << c.what << ": frame " << i << "\n" << result.err;
            }
        }
    }
}

// The same failed connection, run from copies of the program that lack
// symbols or line tables, or that the process cannot read. Addresses do not
// change with stripping, so main's frame address is known from a full run.
TEST(TraceReport, FallsBackToAddressesWithoutDebugInformation) {
    SKIP_FOR_WINDOWS_PROGRAMS("file permissions of an ordinary user; stripped Windows programs are tested in WindowsProgram");
    testing_support::ScratchDir dir;
    make_input_a_directory(dir);
    const Trace full = read_trace(testing_support::run_vorkane(dir.path()).err, heading);
    ASSERT_EQ(full.frames.size(), 1u);
    const std::string main_address = full.frames[0].address;

    struct Case {
        const char* what;
        const char* strip_option;  // "" for an unstripped copy
        mode_t mode;
        std::string failure_line;  // before the frames
        bool names;
    };
    const Case cases[] = {
        {"line tables removed", "--strip-debug", 0755, "", true},
        {"everything removed", "--strip-all", 0755, "", false},
        {"unreadable program file", "", 0111,
         "\nCould not print backtrace: cannot open the program file: Permission denied\n", false},
    };
    for (const Case& c : cases) {
        testing_support::ScratchDir bin;
        const std::string copy = trace_test::program_copy(bin.path(), c.strip_option);
        if (copy.empty()) GTEST_SKIP() << "strip is not available";
        ::chmod(copy.c_str(), c.mode);
        testing_support::RunOptions options;
        if (::geteuid() == 0) options.as_uid = testing_support::unprivileged_uid();
        const RunResult result = testing_support::run_program(copy, dir.path(), options);
        EXPECT_EQ(result.exit_status, 2) << c.what;
        const Trace trace = read_trace(result.err, heading + c.failure_line);
        ASSERT_FALSE(trace.frames.empty()) << c.what << "\n" << result.err;
        EXPECT_TRUE(trace.stray.empty()) << c.what << "\n" << result.err;
        if (c.names) {
            // Symbols without line tables: names, no location lines.
            ASSERT_EQ(trace.frames.size(), 1u) << c.what;
            EXPECT_EQ(trace.frames[0].address, main_address);
            EXPECT_EQ(trace.frames[0].name, "main");
            EXPECT_EQ(trace.frames[0].location, "");
            continue;
        }
        // Address-only: every frame from the reporting routine outward, so
        // main's frame is there with more after it.
        size_t main_index = trace.frames.size();
        for (size_t i = 0; i < trace.frames.size(); ++i) {
            EXPECT_EQ(trace.frames[i].number, static_cast<int>(i)) << c.what;
            EXPECT_EQ(trace.frames[i].name, "") << c.what;
            if (trace.frames[i].address == main_address) main_index = i;
        }
        EXPECT_GT(main_index, 0u) << c.what << "\n" << result.err;
        EXPECT_LT(main_index + 1, trace.frames.size()) << c.what << "\n" << result.err;
    }
}

}  // namespace
