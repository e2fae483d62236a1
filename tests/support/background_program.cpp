#include "support/background_program.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "support/child_process.hpp"
#include "support/default_signals.hpp"
#include "support/windows_programs.hpp"

namespace testing_support {

namespace {

// Fills the pipe through its write end, leaving the end blocking again.
size_t fill_pipe(int write_fd) {
    ::fcntl(write_fd, F_SETPIPE_SZ, 4096);
    const int flags = ::fcntl(write_fd, F_GETFL);
    ::fcntl(write_fd, F_SETFL, flags | O_NONBLOCK);
    const char block[512] = {};
    size_t filled = 0;
    for (ssize_t n; (n = ::write(write_fd, block, sizeof block)) > 0;) filled += static_cast<size_t>(n);
    ::fcntl(write_fd, F_SETFL, flags);
    return filled;
}

[[noreturn]] void start_child(const std::string& program, const std::string& directory,
                              const BackgroundOptions& options, int err_fd) {
    ::dup2(err_fd, 2);
    const int null_fd = ::open("/dev/null", O_RDWR);
    ::dup2(null_fd, 0);
    ::dup2(null_fd, 1);
    restore_default_signals();
    for (int sig : options.ignored_signals) ::signal(sig, SIG_IGN);
    const rlimit no_core = {0, 0};
    ::setrlimit(RLIMIT_CORE, &no_core);
    if (::chdir(directory.c_str()) != 0) ::_exit(126);
    if (options.unprivileged && ::geteuid() == 0) {
        const int uid = unprivileged_uid();
        if (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(uid)) != 0 ||
            ::setuid(static_cast<uid_t>(uid)) != 0) {
            ::_exit(126);
        }
    }
    exec_program(program, options.arguments);
}

}  // namespace

BackgroundProgram::BackgroundProgram(const std::string& program, const std::string& directory,
                                     const BackgroundOptions& options) {
    int err_pipe[2];
    if (::pipe2(err_pipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    if (options.stderr_pipe_full) fill_bytes_ = fill_pipe(err_pipe[1]);
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) start_child(program, directory, options, err_pipe[1]);
    ::close(err_pipe[1]);
    err_fd_ = err_pipe[0];
}

BackgroundProgram::~BackgroundProgram() {
    if (!finished_) {
        ::kill(pid_, SIGKILL);
        finish();
    }
}

bool BackgroundProgram::wait_in_syscall(long number, long first_argument, int limit_seconds) const {
    const std::string path = "/proc/" + std::to_string(pid_) + "/syscall";
    const time_t deadline = ::time(nullptr) + limit_seconds;
    while (::time(nullptr) <= deadline) {
        if (FILE* f = std::fopen(path.c_str(), "r")) {
            long call = -2;
            unsigned long argument = 0;
            const int got = std::fscanf(f, "%ld %lx", &call, &argument);
            std::fclose(f);
            if (got >= 1 && call == number &&
                (first_argument < 0 || (got == 2 && argument == static_cast<unsigned long>(first_argument)))) {
                return true;
            }
        }
        siginfo_t ended = {};
        if (::waitid(P_PID, static_cast<id_t>(pid_), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            ended.si_pid == pid_) {
            return false;
        }
        const timespec pause = {0, 1000000};
        ::nanosleep(&pause, nullptr);
    }
    return false;
}

void BackgroundProgram::send(int signal) const { ::kill(pid_, signal); }

RunResult BackgroundProgram::finish(int limit_seconds) {
    RunResult result;
    const time_t deadline = ::time(nullptr) + limit_seconds;
    char chunk[4096];
    for (;;) {
        // A program that does not end by the deadline is killed, so that a
        // failing test reports SIGKILL instead of waiting for ever.
        pollfd ready = {err_fd_, POLLIN, 0};
        const int got = ::poll(&ready, 1, 1000);
        if (got == 0 && ::time(nullptr) > deadline) ::kill(pid_, SIGKILL);
        if (got <= 0) continue;
        const ssize_t n = ::read(err_fd_, chunk, sizeof chunk);
        if (n == 0 || (n < 0 && errno != EINTR)) break;
        if (n > 0) result.err.append(chunk, static_cast<size_t>(n));
    }
    ::close(err_fd_);
    result.err.erase(0, fill_bytes_);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    finished_ = true;
    return result;
}

}  // namespace testing_support
