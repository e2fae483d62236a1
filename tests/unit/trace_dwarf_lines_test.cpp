// Decoding of DWARF line tables, on units assembled byte by byte here: the
// rows each program produces were worked out by hand from its opcodes.
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "diagnostics/dwarf_lines.hpp"
#include "support/byte_assembler.hpp"

namespace {

using testing_support::Assembler;
using testing_support::Bytes;

// line_base -5, line_range 14, opcode_base 13: GCC's choices.
const Bytes standard_lengths = {0, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1};

// Two sequences:
//   0x1000 line 10 file 1; 0x1003 line 12; 0x1008 line 5 file 2; end 0x1018
//   0x2000 line 100; 0x2011 line 101 (const_add_pc adds 17); end 0x2012
Bytes line_program() {
    Assembler p;
    p.u8(0).uleb(9).u8(2).u64(0x1000);       // set_address 0x1000
    p.u8(3).sleb(9);                         // advance_line +9 -> 10
    p.u8(5).uleb(7);                         // set_column, operand skipped
    p.u8(1);                                 // copy: row 0x1000 line 10
    p.u8(62);                                // special: (62-13)=49 -> +3 addr, -5+7 = +2 line
    p.u8(4).uleb(2);                         // set_file 2
    p.u8(2).uleb(5);                         // advance_pc +5 -> 0x1008
    p.u8(3).sleb(-7);                        // line 5
    p.u8(0).uleb(2).u8(4).uleb(3);           // set_discriminator, passed over
    p.u8(1);                                 // row 0x1008 line 5 file 2
    p.u8(9).u16(0x10);                       // fixed_advance_pc -> 0x1018
    p.u8(0).uleb(1).u8(1);                   // end_sequence
    p.u8(0).uleb(9).u8(2).u64(0x2000);
    p.u8(3).sleb(99).u8(1);                  // row 0x2000 line 100
    p.u8(8);                                 // const_add_pc: (255-13)/14 = 17
    p.u8(3).sleb(1).u8(1);                   // row 0x2011 line 101
    p.u8(2).uleb(1);                         // 0x2012
    p.u8(0).uleb(1).u8(1);
    return p.bytes;
}

// Wraps a header body (after header_length) and the program into a unit.
Bytes unit(unsigned version, const Bytes& before_header_length, const Bytes& header_body) {
    Assembler after_length;
    after_length.u16(version).raw(before_header_length);
    after_length.u32(static_cast<uint32_t>(header_body.size())).raw(header_body).raw(line_program());
    Assembler whole;
    whole.u32(static_cast<uint32_t>(after_length.bytes.size())).raw(after_length.bytes);
    return whole.bytes;
}

Bytes common_fields(bool version4_or_later) {
    Assembler h;
    h.u8(1);                            // minimum instruction length
    if (version4_or_later) h.u8(1);     // operations per instruction
    h.u8(1).u8(static_cast<uint8_t>(-5)).u8(14).u8(13).raw(standard_lengths);
    return h.bytes;
}

// Version 5: directories by .debug_line_str offset; files by .debug_str
// offset, directory index and an MD5 column that must be skipped.
struct Version5 {
    std::string line_str = std::string("/src\0sub\0", 9);
    std::string str = std::string("a.cpp\0b.h\0", 10);
    Bytes bytes;
    Version5() {
        Assembler h;
        h.raw(common_fields(true));
        h.u8(1).uleb(1).uleb(0x1f);                           // path: line_strp
        h.uleb(2).u32(0).u32(5);                              // "/src", "sub"
        h.u8(3).uleb(1).uleb(0x0e).uleb(2).uleb(0x0b).uleb(5).uleb(0x1e);
        h.uleb(3);
        for (auto [name, dir] : {std::pair{0u, 0u}, {0u, 0u}, {6u, 1u}}) {
            h.u32(name).u8(dir);
            for (int i = 0; i < 16; ++i) h.u8(0xee);
        }
        bytes = unit(5, {8, 0}, h.bytes);
    }
};

// Version 4: include directories and file entries as strings.
Bytes version4() {
    Assembler h;
    h.raw(common_fields(true));
    h.str("inc").u8(0);
    h.str("m.c").uleb(0).uleb(0).uleb(0).str("h.h").uleb(1).uleb(0).uleb(0).u8(0);
    return unit(4, {}, h.bytes);
}

struct Expect {
    uint64_t address;
    bool found;
    const char* directory;
    const char* file;
    int line;
};

std::string text(const char* s) { return s != nullptr ? s : "(null)"; }

void check(const vkrt::DwarfLineSections& sections, const std::vector<Expect>& cases,
           const char* what) {
    for (const Expect& c : cases) {
        vkrt::SourceLine got;
        const bool found = vkrt::find_source_line(sections, c.address, got);
        ASSERT_EQ(found, c.found) << what << " at 0x" << std::hex << c.address;
        if (!found) continue;
        EXPECT_EQ(text(got.directory), text(c.directory)) << what << " at 0x" << std::hex << c.address;
        EXPECT_EQ(text(got.file), text(c.file)) << what << " at 0x" << std::hex << c.address;
        EXPECT_EQ(got.line, c.line) << what << " at 0x" << std::hex << c.address;
    }
}

vkrt::ByteRange range(const Bytes& b) { return {b.data(), b.size()}; }
vkrt::ByteRange range(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST(DwarfLines, FindsTheRowCoveringEachAddressInVersion5) {
    const Version5 v5;
    const vkrt::DwarfLineSections sections{range(v5.bytes), range(v5.line_str), range(v5.str)};
    check(sections,
          {{0x0fff, false, nullptr, nullptr, 0},
           {0x1000, true, "/src", "a.cpp", 10},
           {0x1002, true, "/src", "a.cpp", 10},
           {0x1003, true, "/src", "a.cpp", 12},
           {0x1007, true, "/src", "a.cpp", 12},
           {0x1008, true, "sub", "b.h", 5},
           {0x1017, true, "sub", "b.h", 5},
           {0x1018, false, nullptr, nullptr, 0},
           {0x2010, true, "/src", "a.cpp", 100},
           {0x2011, true, "/src", "a.cpp", 101},
           {0x2012, false, nullptr, nullptr, 0}},
          "version 5");
}

TEST(DwarfLines, ReadsVersion4FileTables) {
    const Bytes v4 = version4();
    const vkrt::DwarfLineSections sections{range(v4), {}, {}};
    check(sections,
          {{0x1001, true, nullptr, "m.c", 10},
           {0x1010, true, "inc", "h.h", 5},
           {0x2011, true, nullptr, "m.c", 101}},
          "version 4");
}

TEST(DwarfLines, PassesOverDamagedUnitsAndStopsAtATruncatedOne) {
    const Bytes v4 = version4();
    Bytes unknown_version = v4;
    unknown_version[4] = 9;
    Bytes missing_string_section = Version5().bytes;  // its names cannot be found
    Bytes truncated = v4;
    truncated.resize(v4.size() - 3);

    Bytes skipped = unknown_version;
    skipped.insert(skipped.end(), v4.begin(), v4.end());
    check({range(skipped), {}, {}}, {{0x1008, true, "inc", "h.h", 5}}, "after an unknown version");

    Bytes names_lost = missing_string_section;
    check({range(names_lost), {}, {}}, {{0x1008, true, nullptr, nullptr, 5}}, "names lost");

    Bytes cut = unknown_version;
    cut.insert(cut.end(), truncated.begin(), truncated.end());
    check({range(cut), {}, {}}, {{0x1008, false, nullptr, nullptr, 0}}, "truncated");
    check({{}, {}, {}}, {{0x1008, false, nullptr, nullptr, 0}}, "no table");
}

}  // namespace
