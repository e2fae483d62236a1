#include "diagnostics/signals.hpp"

namespace vkrt {

void install_fatal_signal_handlers() {}

}  // namespace vkrt
