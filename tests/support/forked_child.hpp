// The parent's side of a forked child whose standard output and error go to
// two pipes: collects both until they close and waits for the child, with a
// time limit as a safety net for a child that hangs.
#pragma once

#include <functional>
#include <string>

#include "support/run_program.hpp"

namespace testing_support {

// Forks; in the child closes the read ends and calls `child_side` with the
// write ends of the output and error pipes (close-on-exec), which must exec
// or exit and never return. A child still running after `limit_seconds` is killed with SIGKILL
// and the calling test fails with a message naming `what`.
RunResult run_forked(const std::function<void(int out_fd, int err_fd)>& child_side,
                     int limit_seconds, const std::string& what);

}  // namespace testing_support
