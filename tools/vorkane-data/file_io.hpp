// File access for the data tool: whole reads at an offset that
// retry on interruption, and the exact-size writes the data file needs.
#pragma once

#include <cstdint>
#include <string>

namespace vkdata {

// A regular file opened for reading; throws DataError when it cannot be.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    int64_t size() const { return size_; }
    // Up to `count` bytes from `offset`; fewer only at the end of the file.
    std::string read_at(int64_t offset, int64_t count) const;
    // Reads into `into`; returns the bytes read, fewer only at the end.
    int64_t read_at(int64_t offset, void* into, int64_t count) const;

private:
    std::string path_;
    int fd_ = -1;
    int64_t size_ = 0;
};

// Writes all `count` bytes at `offset` of `fd`; throws DataError naming `path`.
void write_at(int fd, const std::string& path, int64_t offset, const void* bytes, int64_t count);

}  // namespace vkdata
