// Call-stack traces written after error reports and by the fatal-signal
// handler.
#pragma once

namespace vkrt {

// Writes the trace of the calling thread to descriptor 2: the full form
// (names, files, lines) normally, the address-only form from a signal
// handler or when no debug information can be read.
void write_backtrace(bool in_signal_handler);

}  // namespace vkrt
