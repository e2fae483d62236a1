// Runs a program in the background so a test can act on it while it runs:
// wait until it is blocked in a given system call, send it signals, then
// collect its standard error and how it ended. Core dumps are turned off.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "support/run_program.hpp"

namespace testing_support {

struct BackgroundOptions {
    bool unprivileged = false;      // as an ordinary user when the tests run as root
    bool stderr_pipe_full = false;  // start with the stderr pipe already full
    std::vector<std::string> arguments;  // after argv[0]
    std::vector<int> ignored_signals;    // ignored from the start
};

class BackgroundProgram {
public:
    BackgroundProgram(const std::string& program, const std::string& directory,
                      const BackgroundOptions& options = {});
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    pid_t pid() const { return pid_; }

    // Polls /proc/PID/syscall until the program is blocked in system call
    // `number` (and, when first_argument >= 0, with that first argument).
    // False when it ends first or after `limit_seconds`.
    bool wait_in_syscall(long number, long first_argument = -1, int limit_seconds = 60) const;

    void send(int signal) const;

    // Reads standard error to its end (after the bytes that filled the pipe)
    // and waits for the program; kills it with SIGKILL when it has not ended
    // after `limit_seconds`.
    RunResult finish(int limit_seconds = 60);

private:
    pid_t pid_ = -1;
    int err_fd_ = -1;
    size_t fill_bytes_ = 0;
    bool finished_ = false;
};

}  // namespace testing_support
