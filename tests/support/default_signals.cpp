// Default signal actions and an empty signal mask for a test's child.
#include "support/default_signals.hpp"

#include <csignal>

namespace testing_support {

void restore_default_signals() {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number = 1; number < NSIG; ++number) {
        sigaction(number, &action, nullptr);  // SIGKILL, SIGSTOP: refused, harmless
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

}  // namespace testing_support
