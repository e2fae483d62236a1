// The fatal-signal handler: a report with an address-only trace, then the
// signal re-raised with its default action.
#pragma once

namespace vkrt {

void install_fatal_signal_handlers();

}  // namespace vkrt
