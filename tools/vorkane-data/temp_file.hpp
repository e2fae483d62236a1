// The data tool's temporary output file, and what keeps an interruption
// from leaving it behind: on Linux the signals that end the tool, on Windows
// the console's Ctrl+C and Ctrl+Break, each remove the file before the tool
// ends as it would have.
#pragma once

#include <string>

namespace vkdata {

// Creates a new file from `pattern` (ending in "XXXXXX", replaced by the
// name chosen), open for reading and writing, and has an interruption remove
// it from then on. Returns the descriptor, or -1 with errno set.
int create_watched_temp(std::string& pattern);

// An interruption no longer removes the file; what was in place before is
// put back (a signal the caller ignored stays ignored).
void unwatch_temp();

// Gives the temporary the permissions the output has, or those of a new
// file; false with errno set. Nothing to do where files have no such bits.
bool give_output_mode(int fd, const std::string& output);

}  // namespace vkdata
