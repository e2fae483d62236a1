// Every way a run ends with a diagnostic: stop texts, run-time error reports,
// system-error and internal-error reports, and the abort path taken when a
// failure arises while a report is being written. Each piece of text is a
// direct write to descriptor 2; a failed write skips the rest of its message
// and the run still ends with the same status.
#pragma once

#include <cstddef>

#include "diagnostics/error_codes.hpp"
#include "diagnostics/locus.hpp"

namespace vkrt {

// The run-time error prefix at the start of every error line.
inline constexpr const char runtime_error_prefix[] = "Run-time error: ";

// Writes the exception summary note (unless quiet), then "STOP " and the text
// exactly as given, and exits with status 0 through the exit handlers.
[[noreturn]] void stop_with_text(const char* text, size_t length, bool quiet);

// Run-time error report for a failed statement, exit status 2. The message is
// the statement's own text when not null; otherwise, for LIBERROR_OS, the
// system's description of errno; otherwise the family's generic text.
[[noreturn]] void runtime_error(const Locus& where, LibError code, const char* message);

// The report of runtime_error without the exit, for callers that end the
// process themselves (the exit handlers).
void write_runtime_error(const Locus& where, LibError code, const char* message);

// "Operating system error: " report with a context message, exit status 1.
[[noreturn]] void os_error(const char* context);

// "Internal Error: " report, with a locus line when a locus is given, exit
// status 3.
[[noreturn]] void internal_error(const Locus* where, const char* message);

// True once any run-time, system or internal error report has begun.
bool report_in_progress();

// Who knows which file a unit is connected to: set by the connection layer so
// that locus lines can name the file without this layer depending on it.
// Returns nullptr when the unit records no file name.
using UnitFileNameLookup = const char* (*)(int unit);
void set_unit_file_name_lookup(UnitFileNameLookup lookup);

}  // namespace vkrt
