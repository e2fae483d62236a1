// What the Windows programs must get right: processor faults arriving at the
// handler as signals through the C run-time, the platform's status 3 after
// the re-raise, the trace fall-backs of a stripped PE program file, and
// files read in binary mode (checked for the Linux program too).
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/frame_line.hpp"
#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"
#include "trace_frames.hpp"

namespace {

using testing_support::RunResult;

// At least `least` lines "#N  0xHEX", numbered from 0, each ended by a line feed.
bool address_only_frames(const std::string& text, int least) {
    if (text.empty() || text.back() != '\n') return false;
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    testing_support::FrameLine frame;
    while (std::getline(lines, line)) {
        if (!testing_support::parse_frame_line(line, frame) || frame.number != count || !frame.name.empty())
            return false;
        ++count;
    }
    return count >= least;
}

#define SKIP_UNLESS_WINDOWS_PROGRAMS() \
    if (!testing_support::windows_programs()) GTEST_SKIP() << "the Windows programs only"

TEST(WindowsProgram, ProcessorFaultsArriveAsTheirSignalsAndEndWithStatus3) {
    SKIP_UNLESS_WINDOWS_PROGRAMS();
    struct Case {
        const char* fault;
        const char* line;
    };
    const Case cases[] = {
        {"access", "Program received signal SIGSEGV: Segmentation fault - invalid memory reference."},
        {"illegal", "Program received signal SIGILL: Illegal instruction."},
        {"divide", "Program received signal SIGFPE: Floating-point exception - erroneous arithmetic operation."},
    };
    testing_support::ScratchDir dir;
    for (const Case& c : cases) {
        testing_support::RunOptions options;
        options.arguments = {c.fault};
        const RunResult r = testing_support::run_program(
            testing_support::windows_build_dir() + "/vorkane-faults.exe", dir.path(), options);
        EXPECT_EQ(r.exit_status, 3) << c.fault;
        const std::string heading = "\n" + std::string(c.line) + "\n\nBacktrace for this error:\n";
        ASSERT_EQ(r.err.substr(0, heading.size()), heading) << r.err;
        // Through the run-time's exception filter and the system's dispatcher
        // back to the faulting routine and main: several frames, no names.
        EXPECT_TRUE(address_only_frames(r.err.substr(heading.size()), 5)) << r.err;
    }
}

std::string stripped_copy(const std::string& directory, const std::string& option) {
    const std::string copy = directory + "/vorkane-copy.exe";
    std::filesystem::copy_file(testing_support::vorkane_binary(), copy);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execlp("x86_64-w64-mingw32-strip", "x86_64-w64-mingw32-strip", option.c_str(), copy.c_str(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? copy : "";
}

// Without line tables the frames keep their names and lose their locations;
// without symbols either, the address-only form follows with no failure line.
TEST(WindowsProgram, StrippedProgramFileFallsBackAsOnLinux) {
    SKIP_UNLESS_WINDOWS_PROGRAMS();
    testing_support::ScratchDir dir;
    ASSERT_EQ(::mkdir(dir.file("vorkane.in").c_str(), 0755), 0);
    const std::string heading = "\nError termination. Backtrace:\n";
    for (const bool keep_symbols : {true, false}) {
        testing_support::ScratchDir bin;
        const std::string copy = stripped_copy(bin.path(), keep_symbols ? "--strip-debug" : "--strip-all");
        if (copy.empty()) GTEST_SKIP() << "x86_64-w64-mingw32-strip is not available";
        const RunResult r = testing_support::run_program(copy, dir.path());
        EXPECT_EQ(r.exit_status, 2);
        const trace_test::Trace trace = trace_test::read_trace(r.err, heading);
        ASSERT_FALSE(trace.frames.empty()) << r.err;
        EXPECT_TRUE(trace.stray.empty()) << r.err;
        EXPECT_EQ(trace.frames[0].name, keep_symbols ? "main" : "") << r.err;
        for (const trace_test::Frame& frame : trace.frames) EXPECT_EQ(frame.location, "") << r.err;
        if (keep_symbols) {
            EXPECT_EQ(trace.frames.size(), 1u) << r.err;  // the walk ends at main
        }
    }
}

// Files are read in binary mode on every platform: byte 0x1A is an ordinary
// byte, not the end of a text file, so it spoils the number it follows.
TEST(WindowsProgram, ByteOneAIsAnOrdinaryByteOfTheInput) {
    testing_support::ScratchDir dir;
    dir.write("vorkane.in", "2451545.0\x1a\r\n");
    const RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find("\n\n")),
              "At line 3 of file vorkane (unit = 10, file = 'vorkane.in')\n"
              "Run-time error: Bad real number in item 1 of list input");
    EXPECT_FALSE(dir.exists("vorkane.out"));
}

}  // namespace
