// The fatal-signal handler. One table drives installation (in table order),
// naming and re-raising. The handler allocates nothing and looks nothing up:
// it formats into a stack buffer, writes with single writes, walks the stack
// for the address-only trace, then restores the default action and raises the
// signal again so the process ends by it. Installing costs only the requests
// themselves: the walk needs nothing prepared in advance.
// A second signal arriving while the report is written ends the process at
// once by that signal. The handler runs on an alternate stack, so that a
// stack overflow is reported like any other access violation.
#include "diagnostics/signals.hpp"

#include <csignal>
#include <unistd.h>

#include "diagnostics/backtrace.hpp"
#include "diagnostics/line_buffer.hpp"
#include "diagnostics/stderr_write.hpp"

namespace vkrt {

namespace {

struct FatalSignal {
    int number;
    const char* name;
    const char* description;
};

constexpr FatalSignal fatal_signals[] = {
    {SIGQUIT, "SIGQUIT", "Terminal quit signal"},
    {SIGILL, "SIGILL", "Illegal instruction"},
    {SIGABRT, "SIGABRT", "Process abort signal"},
    {SIGFPE, "SIGFPE", "Floating-point exception - erroneous arithmetic operation"},
    {SIGSEGV, "SIGSEGV", "Segmentation fault - invalid memory reference"},
    {SIGBUS, "SIGBUS", "Access to an undefined portion of a memory object"},
    {SIGSYS, "SIGSYS", "Bad system call"},
    {SIGTRAP, "SIGTRAP", "Trace/breakpoint trap"},
};

// Set by the first signal report; read and set without a lock.
volatile std::sig_atomic_t signal_report_started = 0;

const FatalSignal* find_fatal_signal(int number) {
    for (const FatalSignal& entry : fatal_signals) {
        if (entry.number == number) return &entry;
    }
    return nullptr;
}

// Restores the default action, unblocks the signal and raises it. Restoring
// first matters: raised with this handler still in place, a second signal
// would re-enter the handler without end.
void raise_with_default_action(int number) {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, number);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(number);
}

void write_signal_line(int number) {
    LineBuffer line;
    line.text("\nProgram received signal ");
    if (const FatalSignal* entry = find_fatal_signal(number)) {
        line.text(entry->name).text(": ").text(entry->description);
    } else {
        line.decimal(number);
    }
    line.ch('.').end_line().write();
}

// The handler's own stack: a static region, so nothing is allocated and its
// pages cost nothing until a signal comes. 64 KiB hold the kernel's signal
// frame, the line buffer and the unwinder's walk with a wide margin.
void use_alternate_signal_stack() {
    alignas(16) static char region[64 * 1024];
    stack_t stack = {};
    stack.ss_sp = region;
    stack.ss_size = sizeof region;
    sigaltstack(&stack, nullptr);  // without it the handler runs on the thread's stack
}

}  // namespace

void report_fatal_signal(int number) {
    if (signal_report_started) raise_with_default_action(number);
    signal_report_started = 1;
    write_signal_line(number);
    write_stderr("\nBacktrace for this error:\n");
    write_backtrace(true);
    raise_with_default_action(number);
    // Only a signal whose default action does not end the process gets here.
    ::_exit(128 + number);
}

void install_fatal_signal_handlers() {
    use_alternate_signal_stack();
    for (const FatalSignal& entry : fatal_signals) {
        struct sigaction action = {};
        action.sa_handler = report_fatal_signal;
        sigemptyset(&action.sa_mask);
        // Not deferred: the same signal arriving during the report is taken
        // at once, and ends the process.
        action.sa_flags = SA_NODEFER | SA_ONSTACK;
        sigaction(entry.number, &action, nullptr);  // a refusal is ignored
    }
}

}  // namespace vkrt
