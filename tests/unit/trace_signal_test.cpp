// Signal reports made in a child process: the exact heading of each fatal
// signal, the address-only trace that follows, and the process ended by the
// signal itself; processor faults arriving as signals; signals outside the
// table left alone.
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <sys/resource.h>

#include "diagnostics/signals.hpp"
#include "support/child_process.hpp"
#include "support/default_signals.hpp"

namespace {

using testing_support::RunResult;

template <typename Body>
RunResult in_child_without_core(Body body) {
    return testing_support::run_in_child([&] {
        const rlimit no_core = {0, 0};
        setrlimit(RLIMIT_CORE, &no_core);
        testing_support::restore_default_signals();
        body();
    });
}

// The heading, then one or more address-only frames numbered from 0.
void expect_report(const RunResult& result, int signal, const std::string& heading) {
    EXPECT_EQ(result.signal, signal) << heading;
    const std::string lead = heading + "\nBacktrace for this error:\n";
    ASSERT_EQ(result.err.substr(0, lead.size()), lead);
    const std::string frames = result.err.substr(lead.size());
    EXPECT_TRUE(std::regex_match(frames, std::regex("#0  0x[0-9a-f]+\n(#[1-9][0-9]*  0x[0-9a-f]+\n)*")))
        << frames;
}

TEST(FatalSignal, EachTableSignalIsNamedAndEndsTheProcess) {
    struct Case {
        int signal;
        const char* heading;
    };
    const Case cases[] = {
        {SIGQUIT, "\nProgram received signal SIGQUIT: Terminal quit signal.\n"},
        {SIGILL, "\nProgram received signal SIGILL: Illegal instruction.\n"},
        {SIGABRT, "\nProgram received signal SIGABRT: Process abort signal.\n"},
        {SIGFPE, "\nProgram received signal SIGFPE: Floating-point exception - erroneous arithmetic operation.\n"},
        {SIGSEGV, "\nProgram received signal SIGSEGV: Segmentation fault - invalid memory reference.\n"},
        {SIGBUS, "\nProgram received signal SIGBUS: Access to an undefined portion of a memory object.\n"},
        {SIGSYS, "\nProgram received signal SIGSYS: Bad system call.\n"},
        {SIGTRAP, "\nProgram received signal SIGTRAP: Trace/breakpoint trap.\n"},
    };
    for (const Case& c : cases) {
        expect_report(in_child_without_core([&] {
                          vkrt::install_fatal_signal_handlers();
                          raise(c.signal);
                      }),
                      c.signal, c.heading);
    }
    // The handler reached for a number outside the table still names it.
    expect_report(in_child_without_core([] { vkrt::report_fatal_signal(SIGUSR1); }), SIGUSR1,
                  "\nProgram received signal 10.\n");
}

volatile int zero = 0;
volatile int seven = 7;  // 1 / x would be folded into a comparison
int* volatile nowhere = nullptr;
volatile bool deeper = true;

// Recursion without end, each frame holding a kilobyte.
int recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    return (deeper ? recurse(depth + 1) : 0) + frame[0];
}

// Overflows a 1 MiB stack: the handler must run on a stack of its own.
void overflow_the_stack() {
    const rlimit small = {1 << 20, 1 << 20};
    setrlimit(RLIMIT_STACK, &small);
    recurse(0);
}

TEST(FatalSignal, ProcessorFaultsArriveAsSignals) {
#ifdef VORKANE_SANITIZE
    GTEST_SKIP() << "the sanitizers stop deliberate faults before they become signals";
#endif
    struct Case {
        const char* what;
        void (*fault)();
        int signal;
        const char* name;
    };
    const Case cases[] = {
        {"access violation", [] { *nowhere = 1; }, SIGSEGV, "SIGSEGV"},
        {"stack overflow", overflow_the_stack, SIGSEGV, "SIGSEGV"},
        {"integer division by zero", [] { zero = seven / zero; }, SIGFPE, "SIGFPE"},
        {"illegal instruction", [] { __builtin_trap(); }, SIGILL, "SIGILL"},
        {"abort", [] { std::abort(); }, SIGABRT, "SIGABRT"},
    };
    for (const Case& c : cases) {
        const RunResult result = in_child_without_core([&] {
            vkrt::install_fatal_signal_handlers();
            c.fault();
        });
        EXPECT_EQ(result.signal, c.signal) << c.what;
        EXPECT_EQ(result.err.rfind(std::string("\nProgram received signal ") + c.name + ": ", 0), 0u)
            << c.what << ": " << result.err;
    }
}

TEST(FatalSignal, SignalsOutsideTheTableAreNotIntercepted) {
    for (int signal : {SIGTERM, SIGUSR1, SIGINT, SIGHUP}) {
        const RunResult result = in_child_without_core([&] {
            vkrt::install_fatal_signal_handlers();
            raise(signal);
        });
        EXPECT_EQ(result.signal, signal);
        EXPECT_EQ(result.err, "");
    }
}

}  // namespace
