// Little-endian byte strings assembled field by field, for tests that build
// DWARF sections by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

struct Assembler {
    Bytes bytes;
    Assembler& u8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v)); return *this; }
    Assembler& u16(unsigned v) { return u8(v & 0xff).u8(v >> 8); }
    Assembler& u32(uint32_t v) { return u16(v & 0xffff).u16(v >> 16); }
    Assembler& u64(uint64_t v) { return u32(static_cast<uint32_t>(v)).u32(static_cast<uint32_t>(v >> 32)); }
    Assembler& uleb(uint64_t v) {
        do {
            u8((v & 0x7f) | (v >= 0x80 ? 0x80 : 0));
            v >>= 7;
        } while (v != 0);
        return *this;
    }
    Assembler& sleb(int64_t v) {
        for (bool more = true; more;) {
            const uint8_t low = v & 0x7f;
            v >>= 7;
            more = !((v == 0 && !(low & 0x40)) || (v == -1 && (low & 0x40)));
            u8(low | (more ? 0x80 : 0));
        }
        return *this;
    }
    Assembler& str(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return u8(0);
    }
    Assembler& raw(const Bytes& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
};

}  // namespace testing_support
