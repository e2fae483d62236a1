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

#include "platform/process.hpp"
#include "platform/signal_numbers.hpp"

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
    {os::sigquit, "SIGQUIT", "Terminal quit signal"},
    {SIGILL, "SIGILL", "Illegal instruction"},
    {SIGABRT, "SIGABRT", "Process abort signal"},
    {SIGFPE, "SIGFPE", "Floating-point exception - erroneous arithmetic operation"},
    {SIGSEGV, "SIGSEGV", "Segmentation fault - invalid memory reference"},
    {os::sigbus, "SIGBUS", "Access to an undefined portion of a memory object"},
    {os::sigsys, "SIGSYS", "Bad system call"},
    {os::sigtrap, "SIGTRAP", "Trace/breakpoint trap"},
};

// Set by the first signal report; read and set without a lock.
volatile std::sig_atomic_t signal_report_started = 0;

const FatalSignal* find_fatal_signal(int number) {
    for (const FatalSignal& entry : fatal_signals) {
        if (entry.number == number) return &entry;
    }
    return nullptr;
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

}  // namespace

void report_fatal_signal(int number) {
    if (signal_report_started) os::raise_with_default_action(number);
    signal_report_started = 1;
    write_signal_line(number);
    write_stderr("\nBacktrace for this error:\n");
    write_backtrace(true);
    os::raise_with_default_action(number);
    // Only a signal whose default action does not end the process gets here.
    ::_exit(128 + number);
}

void install_fatal_signal_handlers() {
    os::use_alternate_signal_stack();
    for (const FatalSignal& entry : fatal_signals) {
        // Not deferred: the same signal arriving during the report is taken
        // at once, and ends the process. The handler runs on the alternate
        // stack where there is one. A refusal is ignored.
        os::install_signal_handler(entry.number, report_fatal_signal);
    }
}

}  // namespace vkrt
