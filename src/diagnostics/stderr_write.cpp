#include "diagnostics/stderr_write.hpp"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vkrt {

bool write_stderr(const char* bytes, size_t n) {
    while (n > 0) {
        ssize_t done = ::write(2, bytes, n);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (done == 0) return false;
        bytes += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

bool write_stderr(const char* text) { return write_stderr(text, std::strlen(text)); }

}  // namespace vkrt
