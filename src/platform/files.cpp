// What the platform layer's file functions give on top of one system call,
// the same on every platform.
#include "platform/files.hpp"

#include <cerrno>

namespace vkrt::os {

int64_t read_fully_at(int fd, char* into, size_t n, int64_t offset) {
    size_t done = 0;
    while (done < n) {
        const int64_t got = read_at(fd, into + done, n - done, offset + static_cast<int64_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(done);
}

}  // namespace vkrt::os
