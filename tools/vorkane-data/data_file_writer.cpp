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

// Creates the temporary file from `pattern` and watches the signals for it,
// with those signals blocked in between so none can leave the file behind.
// Returns the descriptor, or -1 with errno set.
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

}  // namespace

DataFileWriter::DataFileWriter(const std::string& output)
    : output_(output), placed_by_(record_count + 1) {
    std::string pattern = output + ".tmp-XXXXXX";
    fd_ = create_watched_temp(pattern);
    if (fd_ < 0) throw_system_error("Cannot create a temporary file next to '" + output + "'");
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
    if (::rename(temp_.c_str(), output_.c_str()) != 0) {
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
