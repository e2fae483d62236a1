// The trace facility's process-wide state: where the program is loaded, and
// its symbol and line tables once the first full trace has read them.
#pragma once

#include <cstdint>

#include "diagnostics/program_file.hpp"

namespace vkrt {

// Creates the state on first use: records the program's load placement and
// prepares the stack walk. Returns false when the state cannot be created.
// Not for signal handlers: the first call takes the loader's lock.
bool trace_state_ready();

// The program's link-time address for a run-time code address; false when
// the address lies outside the program's own code (a shared library, say).
bool program_link_address(uintptr_t address, uint64_t& link_address);

// The program file's tables, read on the first call and kept; nullptr with
// `failure` set (on every call) when they cannot be read. Not for signal
// handlers.
const ProgramFile* program_tables(TraceFailure& failure);

}  // namespace vkrt
