// A fixed 512-byte line on the stack, formatted without allocation, locale or
// stdio, and written to descriptor 2 with one write. Safe in a signal handler.
// Text beyond 511 bytes is cut off.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkrt {

class LineBuffer {
public:
    static constexpr size_t capacity = 512;

    LineBuffer& text(const char* s);
    LineBuffer& bytes(const char* s, size_t n);
    LineBuffer& ch(char c);
    LineBuffer& decimal(int64_t value);
    LineBuffer& hex(uint64_t value);  // lowercase, no leading zeros
    // The closing line feed; on a full line it replaces the last byte, so a
    // cut line still ends the line.
    LineBuffer& end_line();

    const char* data() const { return buf_; }
    size_t size() const { return len_; }
    // One write of the whole line; false when the write fails.
    bool write() const;

private:
    char buf_[capacity];
    size_t len_ = 0;
};

}  // namespace vkrt
