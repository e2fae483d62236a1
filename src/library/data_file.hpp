// The library's access to data files: open for reading, read one record,
// close. Everything the library asks of the file system goes through here.
#pragma once

#include <cstdint>

namespace vorkane_library {

// Opens `path` for reading only, never creating it. Returns 0 with the
// descriptor in *fd, or an errno value (a directory gives EISDIR).
int open_data_file(const char* path, int* fd);

void close_data_file(int fd);

enum class RecordRead { done, missing, failed };

// Reads record `number` (1-based) of `bytes` bytes at (number - 1) * bytes.
// missing: the file does not wholly hold it (or number < 1); failed: a read
// or status query failed, errno set. `destination` may be partly written
// unless the result is done.
RecordRead read_data_record(int fd, int32_t number, int32_t bytes, void* destination);

}  // namespace vorkane_library
