#include "diagnostics/backtrace.hpp"

namespace vkrt {

void write_backtrace(bool /*in_signal_handler*/) {}

}  // namespace vkrt
