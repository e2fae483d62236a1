// FIFOs as connected files. Opened for reading and writing, a FIFO would
// count the program itself as a writer and never show the end of its data,
// so a FIFO is opened for reading without waiting, and each connection takes
// its one direction at its first transfer: reading waits for a writer and
// ends at the writers' end of file; writing reopens the FIFO for writing,
// which waits for a reader.
#pragma once

namespace vkrt {

// Whether `name` is a FIFO (checked before any open).
bool names_a_fifo(const char* name);

// Opens the FIFO for reading without waiting for a writer; -1 with errno
// set on failure.
int open_fifo_for_reading(const char* name);

// Before the first read: waits until a writer has sent data or has come and
// gone, then lets reads wait for data again. False with errno set on failure.
bool await_fifo_writer(int fd);

// Before the first write: the FIFO opened for writing (waiting for a
// reader); -1 with errno set on failure.
int open_fifo_for_writing(const char* name);

}  // namespace vkrt
