// The file system on Linux: open(2), pread(2), fstat(2),
// ftruncate(2), mmap(2).
#include "platform/files.hpp"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
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
    case OpenMode::read_only_no_wait: return O_RDONLY | O_NONBLOCK;
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

namespace {

// The length of the directory part of `path` ("a/b" of "a/b/c", "/" of
// "/c"); 0 when the path names no directory (the current one).
size_t directory_length(const char* path) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return 0;
    return slash == path ? 1 : static_cast<size_t>(slash - path);
}

// The directory is synced too, so that the rename itself is durable. No
// strings that allocate: the program links this and carries no exception
// machinery.
void sync_directory_of(const char* to) {
    char directory[PATH_MAX] = ".";
    const size_t length = directory_length(to);
    if (length >= sizeof directory) return;
    if (length > 0) {
        std::memcpy(directory, to, length);
        directory[length] = '\0';
    }
    const int dir = ::open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

bool replace_file(const char* from, const char* to) {
    if (::rename(from, to) != 0) return false;
    sync_directory_of(to);
    return true;
}

bool place_new_file(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) return false;
        // A file system without the no-replace rename: a new hard link.
        if (::link(from, to) != 0) return false;
        ::unlink(from);
    }
    sync_directory_of(to);
    return true;
}

NameKind name_kind(const char* path) {
    struct stat st;
    if (::stat(path, &st) != 0) return NameKind::none;
    if (S_ISDIR(st.st_mode)) return NameKind::directory;
    return S_ISREG(st.st_mode) ? NameKind::regular : NameKind::other;
}

bool link_target(const char* path, char* into, size_t capacity) {
    char name[PATH_MAX];
    const size_t path_length = std::strlen(path);
    if (path_length >= sizeof name) return errno = ENAMETOOLONG, false;
    std::memcpy(name, path, path_length + 1);
    struct stat st;
    for (int links = 0; ::lstat(name, &st) == 0 && S_ISLNK(st.st_mode); ++links) {
        if (links >= 40) return errno = ELOOP, false;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(name, target, sizeof target);
        if (n < 0) return false;
        if (n == static_cast<ssize_t>(sizeof target)) return errno = ENAMETOOLONG, false;
        target[n] = '\0';
        if (target[0] == '/') {
            std::memcpy(name, target, static_cast<size_t>(n) + 1);
            continue;
        }
        // A relative target is taken from the link's own directory.
        const size_t length = directory_length(name);
        const size_t start = length == 0 ? 0 : length == 1 && name[0] == '/' ? 1 : length + 1;
        if (start + static_cast<size_t>(n) >= sizeof name) return errno = ENAMETOOLONG, false;
        if (start > 1) name[length] = '/';
        std::memcpy(name + start, target, static_cast<size_t>(n) + 1);
    }
    const size_t length = std::strlen(name);
    if (length >= capacity) return errno = ENAMETOOLONG, false;
    std::memcpy(into, name, length + 1);
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

namespace {

FileIdentity identity_of(const struct stat& st) {
    return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

}  // namespace

bool file_identity_and_size(int fd, FileIdentity& identity, int64_t& size) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    identity = identity_of(st);
    size = static_cast<int64_t>(st.st_size);
    return true;
}

bool name_identity(const char* path, FileIdentity& identity) {
    struct stat st;
    if (::stat(path, &st) != 0) return false;
    identity = identity_of(st);
    return true;
}

bool names_a_fifo(const char* name) {
    struct stat st;
    return ::stat(name, &st) == 0 && S_ISFIFO(st.st_mode);
}

int open_fifo_for_reading(const char* name) {
    int fd;
    do {
        fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return above_standard_streams(fd);
}

// A reader opened before any writer sees neither data nor a hang-up until a
// writer has come: poll returns on the writer's first data or on its close.
bool await_fifo_writer(int fd) {
    pollfd wait = {fd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&wait, 1, -1);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) return false;
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

int open_fifo_for_writing(const char* name) {
    int fd;
    do {
        fd = ::open(name, O_WRONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return above_standard_streams(fd);
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
