#include "driver/failed_writes.hpp"

#include <csignal>

namespace vkrt {

void let_failed_writes_return() {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

}  // namespace vkrt
