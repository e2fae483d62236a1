// The temporary file on Linux: mkostemp, with every signal that would end the
// tool watched so that the file is removed first.
#include "vorkane-data/temp_file.hpp"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vkdata {

namespace {

// The temporary file to remove if a signal ends the process; fixed storage,
// so the handler needs no allocation. Every signal whose default action ends
// the process is watched: the terminal's and kill's, a broken pipe on a
// standard stream, an exceeded limit, the faults and the real-time signals.
// SIGKILL cannot be caught.
char pending_temp[PATH_MAX];
// What each signal did before, put back afterwards; a signal the caller
// ignored (nohup) or handles stays as it was.
struct sigaction previous_actions[NSIG];
bool watched[NSIG];

bool ends_the_process_by_default(int sig) {
    switch (sig) {
    case SIGKILL: case SIGSTOP: case SIGCHLD: case SIGCONT: case SIGTSTP:
    case SIGTTIN: case SIGTTOU: case SIGURG: case SIGWINCH:
        return false;
    default:
        return true;
    }
}

sigset_t cleanup_signals() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig = 1; sig < NSIG; ++sig) {
        if (ends_the_process_by_default(sig)) sigaddset(&set, sig);
    }
    return set;
}

void remove_pending_and_reraise(int sig) {
    if (pending_temp[0] != '\0') ::unlink(pending_temp);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void watch_signals(const std::string& temp) {
    if (temp.size() >= sizeof pending_temp) return;
    std::memcpy(pending_temp, temp.c_str(), temp.size() + 1);
    struct sigaction cleanup = {};
    cleanup.sa_handler = remove_pending_and_reraise;
    cleanup.sa_flags = SA_RESTART;
    cleanup.sa_mask = cleanup_signals();  // one cleanup at a time
    for (int sig = 1; sig < NSIG; ++sig) {
        // Signals the C library keeps for itself refuse both requests.
        if (!ends_the_process_by_default(sig) || ::sigaction(sig, nullptr, &previous_actions[sig]) != 0) continue;
        // Only a signal at its default action would end the process: one the
        // caller ignores stays ignored, one it handles stays its own.
        const struct sigaction& before = previous_actions[sig];
        watched[sig] = (before.sa_flags & SA_SIGINFO) == 0 && before.sa_handler == SIG_DFL;
        if (watched[sig]) ::sigaction(sig, &cleanup, nullptr);
    }
}

void unwatch_signals() {
    for (int sig = 1; sig < NSIG; ++sig) {
        if (watched[sig]) ::sigaction(sig, &previous_actions[sig], nullptr);
        watched[sig] = false;
    }
    pending_temp[0] = '\0';
}

mode_t mode_for(const std::string& output) {
    struct stat st;
    if (::stat(output.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

// The signals stay blocked between creation and watching, so none can leave
// the file behind.
int create_watched_temp(std::string& pattern) {
    const sigset_t cleanup_set = cleanup_signals();
    sigset_t previous_mask;
    ::sigprocmask(SIG_BLOCK, &cleanup_set, &previous_mask);
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    const int error = errno;
    if (fd >= 0) watch_signals(pattern);
    ::sigprocmask(SIG_SETMASK, &previous_mask, nullptr);
    errno = error;
    return fd;
}

void unwatch_temp() { unwatch_signals(); }

bool give_output_mode(int fd, const std::string& output) {
    return ::fchmod(fd, mode_for(output)) == 0;
}

}  // namespace vkdata
