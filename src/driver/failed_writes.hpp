// How the program meets writes that cannot be made.
#pragma once

namespace vkrt {

// A write to a pipe that nobody reads, or past the file-size limit, then
// fails with an error the writer handles (EPIPE, EFBIG) instead of ending
// the process by SIGPIPE or SIGXFSZ: a lost diagnostic leaves the run to end
// with its own status, and lost output is reported as such.
void let_failed_writes_return();

}  // namespace vkrt
