// A bounds-checked little-endian reader over a byte range, for the program
// file's ELF and DWARF tables. Reading past the end yields zeros and marks
// the reader failed, so a damaged table can never be read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vkrt {

struct ByteRange {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

class ByteReader {
public:
    ByteReader(const uint8_t* begin, const uint8_t* end) : p_(begin), end_(end) {}
    explicit ByteReader(ByteRange range) : ByteReader(range.data, range.data + range.size) {}

    bool ok() const { return ok_; }
    bool at_end() const { return p_ >= end_; }
    const uint8_t* position() const { return p_; }
    size_t remaining() const { return static_cast<size_t>(end_ - p_); }

    uint8_t u8() { return static_cast<uint8_t>(fixed(1)); }
    uint16_t u16() { return static_cast<uint16_t>(fixed(2)); }
    uint32_t u32() { return static_cast<uint32_t>(fixed(4)); }
    uint64_t u64() { return fixed(8); }
    // A section offset: 8 bytes in the 64-bit DWARF format, else 4.
    uint64_t offset(bool dwarf64) { return dwarf64 ? u64() : u32(); }

    uint64_t uleb() {
        uint64_t value = 0;
        for (unsigned shift = 0;; shift += 7) {
            const uint8_t byte = u8();
            if (shift < 64) value |= static_cast<uint64_t>(byte & 0x7f) << shift;
            if (!(byte & 0x80) || !ok_) return value;
        }
    }

    int64_t sleb() {
        uint64_t value = 0;
        unsigned shift = 0;
        uint8_t byte;
        do {
            byte = u8();
            if (shift < 64) value |= static_cast<uint64_t>(byte & 0x7f) << shift;
            shift += 7;
        } while ((byte & 0x80) && ok_);
        if (shift < 64 && (byte & 0x40)) value |= ~uint64_t{0} << shift;
        return static_cast<int64_t>(value);
    }

    // A NUL-terminated string in place; nullptr when it runs off the end.
    const char* cstr() {
        const void* nul = p_ < end_ ? std::memchr(p_, 0, remaining()) : nullptr;
        if (nul == nullptr) return fail(), nullptr;
        const char* s = reinterpret_cast<const char*>(p_);
        p_ = static_cast<const uint8_t*>(nul) + 1;
        return s;
    }

    void skip(uint64_t n) {
        if (n > remaining()) return fail();
        p_ += n;
    }

private:
    uint64_t fixed(size_t n) {
        if (n > remaining()) return fail(), 0;
        uint64_t value = 0;
        std::memcpy(&value, p_, n);  // x86-64 is little-endian, like the file
        p_ += n;
        return value;
    }
    void fail() {
        ok_ = false;
        p_ = end_;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    bool ok_ = true;
};

// The NUL-terminated string at an offset into a string section, or nullptr
// when the offset or the string lies outside it.
inline const char* string_at(ByteRange section, uint64_t offset) {
    if (offset >= section.size) return nullptr;
    ByteReader reader(section.data + offset, section.data + section.size);
    return reader.cstr();
}

}  // namespace vkrt
