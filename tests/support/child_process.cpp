#include "support/child_process.hpp"

#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include "support/forked_child.hpp"

namespace testing_support {

int unprivileged_uid() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody != nullptr ? static_cast<int>(nobody->pw_uid) : 65534;
}

RunResult run_in_child(const std::function<void()>& body, const ChildOptions& options) {
    return run_forked(
        [&](int out_fd, int err_fd) {
            ::dup2(out_fd, 1);
            ::dup2(err_fd, 2);
            ::close(out_fd);
            ::close(err_fd);
            if (options.close_stderr) ::close(2);
            if (!options.directory.empty() && ::chdir(options.directory.c_str()) != 0) ::_exit(126);
            if (options.unprivileged && ::geteuid() == 0) {
                const int uid = unprivileged_uid();
                if (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(uid)) != 0 || ::setuid(static_cast<uid_t>(uid)) != 0) {
                    ::_exit(126);
                }
            }
            body();
            std::exit(0);
        },
        options.timeout_seconds, "the test's child process");
}

}  // namespace testing_support
