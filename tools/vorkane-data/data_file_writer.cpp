// The temporary data file: creation, placement with overlap checks, and the
// final rename. A signal that ends the tool midway removes the temporary.
#include "vorkane-data/data_file_writer.hpp"

#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vorkane-data/data_error.hpp"
#include "vorkane-data/data_layout.hpp"
#include "vorkane-data/file_io.hpp"

namespace vkdata {

namespace {

using Record = std::array<double, values_per_record>;

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

// Creates the temporary file from `pattern` and watches the signals for it,
// with those signals blocked in between so none can leave the file behind.
// Returns the descriptor, or -1 with errno set.
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

std::string date_text(double date) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", date);
    return text;
}

mode_t mode_for(const std::string& output) {
    struct stat st;
    if (::stat(output.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string directory_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file an output path stands for: a symbolic link is followed to its
// target, which is replaced while the link stays. Anything but a regular
// file or no file at all (a FIFO, a device, a directory) is refused.
std::string replaced_file(const std::string& output) {
    std::string path = output;
    struct stat st;
    for (int links = 0; ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++links) {
        char target[PATH_MAX];
        const ssize_t n = links < 40 ? ::readlink(path.c_str(), target, sizeof target) : -1;
        if (links >= 40) errno = ELOOP;
        if (n < 0 || n == static_cast<ssize_t>(sizeof target)) throw_system_error("Cannot follow the link '" + path + "'");
        const std::string to(target, static_cast<size_t>(n));
        path = to[0] == '/' ? to : directory_of(path).append("/").append(to);
    }
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        throw DataError("'" + output + "' is not a regular file; left as it was");
    }
    return path;
}

// Puts the finished file in place: over the target, or only where no file
// is, so that one appearing meanwhile is never replaced.
bool publish(const std::string& temp, const std::string& target, bool replace) {
    if (replace) return ::rename(temp.c_str(), target.c_str()) == 0;
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace rename: a new hard link.
    if (::link(temp.c_str(), target.c_str()) != 0) return false;
    ::unlink(temp.c_str());
    return true;
}

}  // namespace

DataFileWriter::DataFileWriter(const std::string& output, Replace replace)
    : output_(replace == Replace::existing ? replaced_file(output) : output),
      replace_(replace), placed_by_(record_count + 1) {
    std::string pattern = output_ + ".tmp-XXXXXX";
    fd_ = create_watched_temp(pattern);
    if (fd_ < 0) throw_system_error("Cannot create a temporary file next to '" + output_ + "'");
    temp_ = pattern;
    if (::ftruncate(fd_, file_bytes) != 0) {
        const int size_error = errno;
        abandon();  // the destructor does not run for a throwing constructor
        errno = size_error;
        throw_system_error("Cannot size '" + temp_ + "'");
    }
}

DataFileWriter::~DataFileWriter() { abandon(); }

void DataFileWriter::abandon() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!committed_) ::unlink(temp_.c_str());
    unwatch_signals();
}

int DataFileWriter::place(const double* values, int count, const std::string& source) {
    Record record{};
    std::memcpy(record.data(), values, static_cast<size_t>(count) * sizeof(double));
    for (int i = 2; i < count; ++i) {
        if (!std::isfinite(record[i])) {
            throw DataError(source + ": value " + std::to_string(i + 1) + " is not a finite number");
        }
    }
    const int n = grid_record_number(record[0], record[1]);
    if (n == 0) {
        throw DataError(source + ": dates " + date_text(record[0]) + " to " + date_text(record[1]) +
                        " are not a 32-day record of the grid from 2287184.5 to 2688976.5");
    }
    const int64_t offset = int64_t{n - 1} * record_bytes;
    if (!placed_by_[n].empty()) {
        Record earlier;
        if (::pread(fd_, earlier.data(), record_bytes, offset) != record_bytes) {
            throw_system_error("Cannot read back '" + temp_ + "'");
        }
        // Overlapping inputs must agree byte for byte, NaN payloads included.
        if (std::memcmp(earlier.data(), record.data(), record_bytes) != 0) {  // NOLINT(bugprone-suspicious-memory-comparison)
            throw DataError(source + ": record " + std::to_string(n) + " (JD " +
                            date_text(record[0]) + ") differs from the same record in " +
                            placed_by_[n]);
        }
        return n;
    }
    write_at(fd_, temp_, offset, record.data(), record_bytes);
    placed_by_[n] = source;
    ++present_;
    return n;
}

void DataFileWriter::commit() {
    if (::fchmod(fd_, mode_for(output_)) != 0) throw_system_error("Cannot set the mode of '" + temp_ + "'");
    if (::fsync(fd_) != 0) throw_system_error("Cannot write '" + temp_ + "'");
    if (::close(fd_) != 0) {
        fd_ = -1;
        throw_system_error("Cannot write '" + temp_ + "'");
    }
    fd_ = -1;
    if (!publish(temp_, output_, replace_ == Replace::existing)) {
        if (errno == EEXIST) throw DataError("'" + output_ + "' appeared meanwhile; left as it was");
        throw_system_error("Cannot rename '" + temp_ + "' to '" + output_ + "'");
    }
    committed_ = true;
    const int dir = ::open(directory_of(output_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::vector<std::pair<int, int>> DataFileWriter::present_runs() const {
    std::vector<std::pair<int, int>> runs;
    for (int n = 1; n <= record_count; ++n) {
        if (placed_by_[n].empty()) continue;
        if (!runs.empty() && runs.back().second == n - 1) runs.back().second = n;
        else runs.push_back({n, n});
    }
    return runs;
}

}  // namespace vkdata
