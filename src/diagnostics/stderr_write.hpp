// Direct, unbuffered writes to descriptor 2. Safe in a signal handler.
#pragma once

#include <cstddef>

namespace vkrt {

// Writes all n bytes, retrying after interruptions and short writes.
// Returns false as soon as a write fails.
bool write_stderr(const char* bytes, size_t n);
bool write_stderr(const char* text);

}  // namespace vkrt
