// Runs a piece of code in a forked child and captures how it ended: for code
// that ends the process (stops, reports, signals) and must be checked byte for
// byte on standard error.
#pragma once

#include <functional>
#include <string>

#include "support/run_program.hpp"

namespace testing_support {

struct ChildOptions {
    std::string directory;       // chdir here first when not empty
    bool unprivileged = false;   // drop root to an ordinary user first
    bool close_stderr = false;   // run with descriptor 2 closed
    int timeout_seconds = 60;    // then the child is killed and the test fails
};

// The child exits with status 0 when `body` returns.
RunResult run_in_child(const std::function<void()>& body, const ChildOptions& options = {});

// An unprivileged user id for tests that need permissions to bite.
int unprivileged_uid();

}  // namespace testing_support
