#include "driver/failed_writes.hpp"

#include "platform/process.hpp"
#include "platform/signal_numbers.hpp"

namespace vkrt {

// Where the platform has no such signals the requests are refused: its
// writes fail with an error already.
void let_failed_writes_return() {
    os::ignore_signal(os::sigpipe);
    os::ignore_signal(os::sigxfsz);
}

}  // namespace vkrt
