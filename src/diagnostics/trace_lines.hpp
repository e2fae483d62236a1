// The lines of a call-stack trace, each formatted in a 512-byte stack
// buffer and written to descriptor 2 with one write. A line that would not
// fit is cut at 511 bytes and still ends with its line feed. Allocation-free.
#pragma once

#include <cstdint>

#include "diagnostics/dwarf_lines.hpp"
#include "diagnostics/program_file.hpp"

namespace vkrt {

// "#N  0xADDR in NAME", with "???" for an unknown name.
void write_frame_line(int number, uint64_t address, const char* name);

// "\tat FILE:LINE", the file joined to its directory, "???" when unknown.
void write_location_line(const SourceLine& where);

// "#N  0xADDR", a frame of the address-only form.
void write_address_line(int number, uint64_t address);

// A "Could not print backtrace" line; a failure for want of debug
// information writes nothing. In a signal handler a system error's number is
// written in decimal instead of the system's description of it.
void write_trace_failure(const TraceFailure& failure, bool in_signal_handler);

}  // namespace vkrt
