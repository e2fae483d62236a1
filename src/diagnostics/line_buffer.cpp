#include "diagnostics/line_buffer.hpp"

#include "diagnostics/stderr_write.hpp"

namespace vkrt {

LineBuffer& LineBuffer::ch(char c) {
    if (len_ < capacity - 1) buf_[len_++] = c;
    return *this;
}

LineBuffer& LineBuffer::bytes(const char* s, size_t n) {
    for (size_t i = 0; i < n; ++i) ch(s[i]);
    return *this;
}

LineBuffer& LineBuffer::text(const char* s) {
    while (*s != '\0') ch(*s++);
    return *this;
}

LineBuffer& LineBuffer::decimal(int64_t value) {
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) ch('-');
    while (n > 0) ch(digits[--n]);
    return *this;
}

LineBuffer& LineBuffer::hex(uint64_t value) {
    char digits[16];
    int n = 0;
    do {
        digits[n++] = "0123456789abcdef"[value & 15];
        value >>= 4;
    } while (value != 0);
    while (n > 0) ch(digits[--n]);
    return *this;
}

LineBuffer& LineBuffer::end_line() {
    if (len_ == capacity - 1) --len_;
    return ch('\n');
}

bool LineBuffer::write() const { return write_stderr(buf_, len_); }

}  // namespace vkrt
