// The file system on Linux: open(2), pread(2), fstat(2), lseek(2),
// ftruncate(2), mmap(2).
#include "platform/files.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vkrt::os {

namespace {

// A descriptor that landed on a closed standard stream is moved above the
// three, and the standard one stays closed.
int above_standard_streams(int fd) {
    if (fd < 0 || fd > 2) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int error = errno;
    ::close(fd);
    errno = error;
    return moved;
}

int open_flags(OpenMode mode) {
    switch (mode) {
    case OpenMode::read_write_create: return O_RDWR | O_CREAT;
    case OpenMode::read_only: return O_RDONLY;
    case OpenMode::write_only_create: return O_WRONLY | O_CREAT;
    case OpenMode::write_only_new: return O_WRONLY | O_CREAT | O_EXCL;
    case OpenMode::read_write_new: return O_RDWR | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

}  // namespace

int open_file(const char* name, OpenMode mode) {
    int fd;
    do {
        fd = ::open(name, open_flags(mode) | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return above_standard_streams(fd);
}

bool close_file(int fd) { return ::close(fd) == 0; }

int64_t read_at(int fd, void* into, size_t n, int64_t offset) {
    return ::pread(fd, into, n, static_cast<off_t>(offset));
}

int64_t write_at(int fd, const void* bytes, size_t n, int64_t offset) {
    return ::pwrite(fd, bytes, n, static_cast<off_t>(offset));
}

int64_t file_size(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

int64_t file_position(int fd) { return ::lseek(fd, 0, SEEK_CUR); }

bool truncate_file(int fd, int64_t length) {
    int status;
    do {
        status = ::ftruncate(fd, static_cast<off_t>(length));
    } while (status != 0 && errno == EINTR);
    return status == 0;
}

bool regular_file(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool sync_file(int fd) { return ::fsync(fd) == 0; }

// The directory is synced too, so that the rename itself is durable.
bool replace_file(const char* from, const char* to) {
    if (::rename(from, to) != 0) return false;
    std::string directory = to;
    const size_t slash = directory.rfind('/');
    directory = slash == std::string::npos ? "." : slash == 0 ? "/" : directory.substr(0, slash);
    const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool make_directory(const char* path) {
    if (::mkdir(path, 0777) != 0 && errno != EEXIST) return false;
    struct stat st;
    if (::stat(path, &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) return errno = ENOTDIR, false;
    return true;
}

bool name_exists(const char* path) {
    struct stat st;
    return ::lstat(path, &st) == 0;
}

bool file_identity(int fd, FileIdentity& identity) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    identity = FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

bool name_identity(const char* path, FileIdentity& identity) {
    struct stat st;
    if (::stat(path, &st) != 0) return false;
    identity = FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

MappedFile map_file(const char* path) {
    MappedFile file;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return file.error = errno, file;
    file.opened = true;
    struct stat st{};
    void* mapped = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        mapped = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    const int error = errno;
    ::close(fd);
    if (mapped == MAP_FAILED) return file.error = st.st_size > 0 ? error : 0, file;
    file.data = static_cast<const uint8_t*>(mapped);
    file.size = static_cast<size_t>(st.st_size);
    return file;
}

}  // namespace vkrt::os
