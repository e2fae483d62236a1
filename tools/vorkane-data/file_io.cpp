// Reads and writes that go on until every byte is moved, retrying on EINTR.
#include "vorkane-data/file_io.hpp"

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vorkane-data/data_error.hpp"

namespace vkdata {

// Opened without waiting, so that a FIFO or a device is refused at once
// rather than blocking the open; reads of a regular file never wait anyway.
InputFile::InputFile(const std::string& path) : path_(path) {
    do fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) throw_system_error("Cannot open '" + path + "'");
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
        ::close(fd_);
        throw_system_error("Cannot examine '" + path + "'");
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw DataError(path + ": not a regular file");
    }
    size_ = st.st_size;
}

InputFile::~InputFile() { ::close(fd_); }

int64_t InputFile::read_at(int64_t offset, void* into, int64_t count) const {
    char* at = static_cast<char*>(into);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, at + done, static_cast<size_t>(count - done), offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw_system_error("Cannot read '" + path_ + "'");
        if (n == 0) break;
        done += n;
    }
    return done;
}

std::string InputFile::read_at(int64_t offset, int64_t count) const {
    // No more room than the file has left: small files are read in small
    // buffers.
    count = std::min(count, std::max<int64_t>(0, size() - offset));
    std::string bytes(static_cast<size_t>(count), '\0');
    bytes.resize(static_cast<size_t>(read_at(offset, bytes.data(), count)));
    return bytes;
}

void write_at(int fd, const std::string& path, int64_t offset, const void* bytes, int64_t count) {
    const char* from = static_cast<const char*>(bytes);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(fd, from + done, static_cast<size_t>(count - done), offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) throw_system_error("Cannot write '" + path + "'");
        done += n;
    }
}

}  // namespace vkdata
