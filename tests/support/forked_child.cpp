#include "support/forked_child.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace testing_support {

namespace {

void drain(int fd, std::string& into, bool& open) {
    char chunk[4096];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n > 0) into.append(chunk, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR) open = false;
}

// Reads both pipes to their ends; false when the deadline came first.
bool collect_until(int out_fd, int err_fd, time_t deadline, RunResult& result) {
    bool out_open = true, err_open = true;
    while (out_open || err_open) {
        pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
        if (::poll(fds, 2, 1000) < 0 && errno != EINTR) break;
        if (out_open && (fds[0].revents & (POLLIN | POLLHUP))) drain(out_fd, result.out, out_open);
        if (err_open && (fds[1].revents & (POLLIN | POLLHUP))) drain(err_fd, result.err, err_open);
        if (::time(nullptr) > deadline) return false;
    }
    return true;
}

}  // namespace

RunResult run_forked(const std::function<void(int out_fd, int err_fd)>& child_side,
                     int limit_seconds, const std::string& what) {
    int out_pipe[2], err_pipe[2];
    if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    // The child must not inherit the test program's unwritten standard
    // output (a test's printed figures), which its exit would write into
    // the output under test.
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::close(out_pipe[0]);
        ::close(err_pipe[0]);
        child_side(out_pipe[1], err_pipe[1]);
        ::_exit(127);  // not reached: the child side execs or exits
    }
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);

    RunResult result;
    if (!collect_until(out_pipe[0], err_pipe[0], ::time(nullptr) + limit_seconds, result)) {
        ::kill(pid, SIGKILL);
        ADD_FAILURE() << what << ": still running after " << limit_seconds
                      << " s, killed; its standard error so far:\n" << result.err;
    }
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

}  // namespace testing_support
