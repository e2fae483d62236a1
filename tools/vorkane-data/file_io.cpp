// Reads and writes that go on until every byte is moved, retrying on EINTR.
#include "vorkane-data/file_io.hpp"

#include <algorithm>

#include <cerrno>

#include "platform/files.hpp"
#include "vorkane-data/data_error.hpp"

namespace vkdata {

// Opened without waiting, so that a FIFO or a device is refused at once
// rather than blocking the open; reads of a regular file never wait anyway.
InputFile::InputFile(const std::string& path) : path_(path) {
    fd_ = vkrt::os::open_file(path.c_str(), vkrt::os::OpenMode::read_only_no_wait);
    if (fd_ < 0) throw_system_error("Cannot open '" + path + "'");
    errno = 0;
    size_ = vkrt::os::file_size(fd_);
    const bool regular = size_ >= 0 && vkrt::os::regular_file(fd_);
    if (!regular) {
        const int error = errno;
        vkrt::os::close_file(fd_);
        errno = error;
        if (error != 0) throw_system_error("Cannot examine '" + path + "'");
        throw DataError(path + ": not a regular file");
    }
}

InputFile::~InputFile() { vkrt::os::close_file(fd_); }

int64_t InputFile::read_at(int64_t offset, void* into, int64_t count) const {
    char* at = static_cast<char*>(into);
    int64_t done = 0;
    while (done < count) {
        const int64_t n = vkrt::os::read_at(fd_, at + done, static_cast<size_t>(count - done), offset + done);
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
        const int64_t n = vkrt::os::write_at(fd, from + done, static_cast<size_t>(count - done), offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) throw_system_error("Cannot write '" + path + "'");
        done += n;
    }
}

}  // namespace vkdata
