#include "support/child_process.hpp"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {

void collect(int out_fd, int err_fd, RunResult& result) {
    bool open[2] = {true, true};
    int fds[2] = {out_fd, err_fd};
    std::string* into[2] = {&result.out, &result.err};
    while (open[0] || open[1]) {
        pollfd p[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (!open[i] || !(p[i].revents & (POLLIN | POLLHUP))) continue;
            char chunk[4096];
            ssize_t n = ::read(fds[i], chunk, sizeof chunk);
            if (n > 0) into[i]->append(chunk, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR) open[i] = false;
        }
    }
}

}  // namespace

int unprivileged_uid() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody != nullptr ? static_cast<int>(nobody->pw_uid) : 65534;
}

RunResult run_in_child(const std::function<void()>& body, const ChildOptions& options) {
    int out_pipe[2], err_pipe[2];
    if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(out_pipe[1], 1);
        ::dup2(err_pipe[1], 2);
        if (options.close_stderr) ::close(2);
        for (int fd : {out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) ::close(fd);
        if (!options.directory.empty() && ::chdir(options.directory.c_str()) != 0) ::_exit(126);
        if (options.unprivileged && ::geteuid() == 0) {
            const int uid = unprivileged_uid();
            if (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(uid)) != 0 || ::setuid(static_cast<uid_t>(uid)) != 0) {
                ::_exit(126);
            }
        }
        body();
        std::exit(0);
    }
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    RunResult result;
    collect(out_pipe[0], err_pipe[0], result);
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
