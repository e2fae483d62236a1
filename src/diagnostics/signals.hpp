// The fatal-signal handler: a report with an address-only trace, then the
// signal re-raised with its default action.
#pragma once

namespace vkrt {

// Installs the handler for SIGQUIT, SIGILL, SIGABRT, SIGFPE, SIGSEGV, SIGBUS,
// SIGSYS and SIGTRAP, in that order; a request the system refuses is ignored.
void install_fatal_signal_handlers();

// The handler itself: writes the signal report and ends the process by the
// signal. Never returns.
[[noreturn]] void report_fatal_signal(int number);

}  // namespace vkrt
