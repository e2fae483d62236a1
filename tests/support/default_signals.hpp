// Puts a child process's signal state back to the defaults before a test
// delivers signals to it. A test runner may start the tests with signals
// ignored (a shell's background job ignores SIGINT and SIGQUIT) or blocked;
// both survive fork and exec and would change how a signal ends the child.
#pragma once

namespace testing_support {

// Every catchable signal to its default action, and none blocked.
void restore_default_signals();

}  // namespace testing_support
