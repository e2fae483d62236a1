#include "fileio/fifo.hpp"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vkrt {

bool names_a_fifo(const char* name) {
    struct stat st;
    return ::stat(name, &st) == 0 && S_ISFIFO(st.st_mode);
}

int open_fifo_for_reading(const char* name) {
    int fd;
    do {
        fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
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
    return fd;
}

}  // namespace vkrt
