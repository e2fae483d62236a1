// Fatal signals delivered to the running program while it is blocked
// waiting for a writer of a FIFO as vorkane.in: the exact report, the address-only trace
// and the process ended by that signal; a second signal during the report;
// signals the program leaves alone.
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>

#include "support/background_program.hpp"
#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"
#include "trace_frames.hpp"

namespace {

using testing_support::BackgroundOptions;
using testing_support::BackgroundProgram;
using testing_support::RunResult;

const std::string backtrace_heading = "\nBacktrace for this error:\n";

// A scratch directory with a copy of the program and a FIFO vorkane.in: the
// read at line 3 waits for a writer that never comes.
struct BlockedRun {
    testing_support::ScratchDir dir;
    std::string program;
    BlockedRun() {
        program = trace_test::program_copy(dir.path());
        const std::string fifo = dir.file("vorkane.in");
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0444), 0);
        ::chmod(fifo.c_str(), 0444);
    }
    // Starts the program and waits until it is blocked waiting for a writer.
    std::unique_ptr<BackgroundProgram> start(BackgroundOptions options = {}) {
        options.unprivileged = true;
        auto running = std::make_unique<BackgroundProgram>(program, dir.path(), options);
        EXPECT_TRUE(running->wait_in_syscall(SYS_poll));
        return running;
    }
};

// main's frame address at the read of vorkane.in, from the full trace of a
// read that meets the end of an empty file.
std::string main_address_at_input_read() {
    testing_support::ScratchDir dir;
    dir.write("vorkane.in", "");
    const auto trace = trace_test::read_trace(testing_support::run_vorkane(dir.path()).err,
                                              "Backtrace:\n");
    return trace.frames.size() == 1 ? trace.frames[0].address : "";
}

TEST(TraceSignal, ReportsTheSignalWithAnAddressOnlyTraceAndEndsByIt) {
    SKIP_FOR_WINDOWS_PROGRAMS("POSIX signals sent from outside");
    const std::string main_address = main_address_at_input_read();
    ASSERT_NE(main_address, "");
    struct Case {
        int signal;
        const char* line;
    };
    const Case cases[] = {
        {SIGSEGV, "Program received signal SIGSEGV: Segmentation fault - invalid memory reference."},
        {SIGQUIT, "Program received signal SIGQUIT: Terminal quit signal."},
        {SIGFPE, "Program received signal SIGFPE: Floating-point exception - erroneous arithmetic operation."},
        {SIGILL, "Program received signal SIGILL: Illegal instruction."},
        {SIGABRT, "Program received signal SIGABRT: Process abort signal."},
        {SIGBUS, "Program received signal SIGBUS: Access to an undefined portion of a memory object."},
        {SIGSYS, "Program received signal SIGSYS: Bad system call."},
        {SIGTRAP, "Program received signal SIGTRAP: Trace/breakpoint trap."},
    };
    for (const Case& c : cases) {
        BlockedRun run;
        auto program = run.start();
        program->send(c.signal);
        const RunResult result = program->finish();
        EXPECT_EQ(result.signal, c.signal) << c.line;
        const std::string heading = "\n" + std::string(c.line) + "\n" + backtrace_heading;
        const auto trace = trace_test::read_trace(result.err, heading);
        EXPECT_EQ(trace.before, heading) << result.err;
        EXPECT_TRUE(trace.stray.empty()) << result.err;
        // From the handler through the interrupted wait to main and beyond.
        size_t main_index = trace.frames.size();
        for (size_t i = 0; i < trace.frames.size(); ++i) {
            EXPECT_EQ(trace.frames[i].number, static_cast<int>(i));
            EXPECT_EQ(trace.frames[i].name, "");
            if (trace.frames[i].address == main_address) main_index = i;
        }
        EXPECT_GE(main_index, 2u) << c.line << "\n" << result.err;
        EXPECT_LT(main_index + 1, trace.frames.size()) << c.line << "\n" << result.err;
    }
}

TEST(TraceSignal, ASecondSignalDuringTheReportEndsTheProcessAtOnce) {
    SKIP_FOR_WINDOWS_PROGRAMS("POSIX signals sent from outside");
    BlockedRun run;
    BackgroundOptions options;
    options.stderr_pipe_full = true;  // the report's first write blocks
    auto program = run.start(options);
    program->send(SIGSEGV);
    ASSERT_TRUE(program->wait_in_syscall(SYS_write, 2));
    program->send(SIGQUIT);
    const RunResult result = program->finish();
    EXPECT_EQ(result.signal, SIGQUIT);
    // Whatever of the first report got out, none of a second one did.
    const std::string first = "\nProgram received signal SIGSEGV: Segmentation fault - invalid memory reference.\n";
    EXPECT_EQ(first.rfind(result.err, 0), 0u) << result.err;
}

TEST(TraceSignal, SignalsOutsideTheTableAreNotIntercepted) {
    SKIP_FOR_WINDOWS_PROGRAMS("POSIX signals sent from outside");
    for (int signal : {SIGTERM, SIGUSR1, SIGINT}) {
        BlockedRun run;
        auto program = run.start();
        program->send(signal);
        const RunResult result = program->finish();
        EXPECT_EQ(result.signal, signal);
        EXPECT_EQ(result.err, "");
    }
}

}  // namespace
