// Data files through the descriptor interface: open(2) read-only, fstat(2)
// for the size, pread(2) for a record at its offset (on Windows, which has no
// pread, a seek and a read: a handle is used by one thread at a time).
#include "library/data_file.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#else
#include <unistd.h>
#endif

namespace vorkane_library {

namespace {

// Read only, not inherited by child processes, no line-end translation.
#if defined(O_BINARY)
constexpr int open_flags = O_RDONLY | O_BINARY;
#elif defined(O_CLOEXEC)
constexpr int open_flags = O_RDONLY | O_CLOEXEC;
#else
constexpr int open_flags = O_RDONLY;
#endif

ssize_t read_once(int fd, char* destination, size_t n, off_t offset) {
#ifdef _WIN32
    if (::_lseeki64(fd, offset, SEEK_SET) < 0) return -1;
    return ::_read(fd, destination, static_cast<unsigned>(n));
#else
    return ::pread(fd, destination, n, offset);
#endif
}

// Reads n bytes at offset; the count read (short only at the end of the
// file), or -1 with errno set.
ssize_t read_at(int fd, char* destination, size_t n, off_t offset) {
    size_t done = 0;
    while (done < n) {
        const ssize_t got =
            read_once(fd, destination + done, n - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

}  // namespace

int open_data_file(const char* path, int* fd) {
    int opened;
    do {
        opened = ::open(path, open_flags);
    } while (opened < 0 && errno == EINTR);
    if (opened < 0) return errno;
    struct stat st;
    int error = 0;
    if (::fstat(opened, &st) != 0) {
        error = errno;
    } else if (S_ISDIR(st.st_mode)) {
        error = EISDIR;
    }
    if (error != 0) {
        ::close(opened);
        return error;
    }
    *fd = opened;
    return 0;
}

void close_data_file(int fd) { ::close(fd); }

RecordRead read_data_record(int fd, int32_t number, int32_t bytes, void* destination) {
    if (number < 1) return RecordRead::missing;
    const off_t offset = static_cast<off_t>(number - 1) * bytes;
    struct stat st;
    if (::fstat(fd, &st) != 0) return RecordRead::failed;
    if (offset >= st.st_size || st.st_size - offset < static_cast<off_t>(bytes))
        return RecordRead::missing;
    const ssize_t got = read_at(fd, static_cast<char*>(destination), static_cast<size_t>(bytes), offset);
    if (got < 0) return RecordRead::failed;
    return got < bytes ? RecordRead::missing : RecordRead::done;
}

}  // namespace vorkane_library
