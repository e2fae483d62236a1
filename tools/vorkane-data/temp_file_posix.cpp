// The temporary file on Linux: mkostemp, with the signals that end the tool
// watched so that the file is removed first.
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
// so the handler needs no allocation. A broken pipe on a standard stream and
// an exceeded file-size limit end the tool too, so they are watched as well.
char pending_temp[PATH_MAX];
constexpr int cleanup_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ};
constexpr size_t cleanup_count = sizeof cleanup_signals / sizeof cleanup_signals[0];
// What each signal did before, put back afterwards; a signal the caller
// ignored (nohup, a shell's trap) stays ignored.
struct sigaction previous_actions[cleanup_count];
bool watched[cleanup_count];

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
    sigemptyset(&cleanup.sa_mask);
    for (size_t i = 0; i < cleanup_count; ++i) {
        ::sigaction(cleanup_signals[i], nullptr, &previous_actions[i]);
        watched[i] = previous_actions[i].sa_handler != SIG_IGN;
        if (watched[i]) ::sigaction(cleanup_signals[i], &cleanup, nullptr);
    }
}

void unwatch_signals() {
    for (size_t i = 0; i < cleanup_count; ++i) {
        if (watched[i]) ::sigaction(cleanup_signals[i], &previous_actions[i], nullptr);
        watched[i] = false;
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
    sigset_t cleanup_set, previous_mask;
    sigemptyset(&cleanup_set);
    for (int sig : cleanup_signals) sigaddset(&cleanup_set, sig);
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
