// Inlined calls and the names of inlined routines, from a DWARF 5 unit
// assembled byte by byte here with the forms GCC 12 can write (strx, addrx,
// rnglistx, implicit_const) where the program's own build happens to use
// simpler ones. The expected names are the demangler's spellings of the
// declarations written out below, worked out by hand.
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "diagnostics/dwarf_inlines.hpp"
#include "diagnostics/dwarf_names.hpp"
#include "support/byte_assembler.hpp"

namespace {

using testing_support::Assembler;
using testing_support::Bytes;

// .debug_info with named entries and 4-byte references to them.
struct Info {
    Assembler a;
    std::map<std::string, uint32_t> at;
    std::vector<std::pair<size_t, std::string>> references;
    Assembler& mark(const std::string& name) {
        at[name] = static_cast<uint32_t>(a.bytes.size());
        return a;
    }
    Assembler& ref(const std::string& name) {
        references.emplace_back(a.bytes.size(), name);
        return a.u32(0);
    }
    void resolve() {
        for (const auto& [where, name] : references) {
            for (int i = 0; i < 4; ++i) a.bytes[where + i] = static_cast<uint8_t>(at.at(name) >> (8 * i));
        }
        const uint32_t length = static_cast<uint32_t>(a.bytes.size() - 4);
        for (int i = 0; i < 4; ++i) a.bytes[i] = static_cast<uint8_t>(length >> (8 * i));
    }
};

// Abbreviation codes, one per kind of entry below: (tag, children, then
// attribute and form pairs; form 0x21 implicit_const carries its value).
Bytes abbreviations() {
    const std::vector<std::vector<unsigned>> table = {
        {1, 0x11, 1, 0x13, 0x0b, 0x72, 0x17, 0x73, 0x17, 0x74, 0x17, 0x11, 0x1b, 0x55, 0x23},  // unit
        {2, 0x39, 1, 0x03, 0x25},                                   // namespace, strx1 name
        {3, 0x39, 1},                                               // anonymous namespace
        {4, 0x13, 1, 0x03, 0x25},                                   // structure
        {5, 0x2e, 1, 0x03, 0x25, 0x3c, 0x19},                       // declared routine
        {6, 0x05, 0, 0x49, 0x13},                                   // parameter
        {7, 0x05, 0, 0x49, 0x13, 0x34, 0x19},                       // artificial parameter
        {8, 0x2e, 1, 0x47, 0x13, 0x20, 0x0b},                       // abstract instance
        {9, 0x2e, 1, 0x6e, 0x26, 0x03, 0x25, 0x3f, 0x19, 0x11, 0x29, 0x12, 0x06},  // out of line
        {10, 0x1d, 1, 0x31, 0x13, 0x55, 0x23, 0x58, 0x0b, 0x59, 0x05},  // inlined, range list
        {11, 0x1d, 0, 0x31, 0x13, 0x11, 0x01, 0x12, 0x0b, 0x58, 0x0b, 0x59, 0x21},  // inlined, pc pair
        {12, 0x24, 0, 0x03, 0x25},                                  // base type
        {13, 0x26, 0, 0x49, 0x13},                                  // const
        {14, 0x0f, 0, 0x49, 0x13},                                  // pointer
        {15, 0x10, 0, 0x49, 0x13},                                  // reference
        {16, 0x16, 0, 0x03, 0x25, 0x49, 0x13},                      // typedef
    };
    Assembler a;
    for (const auto& row : table) {
        a.uleb(row[0]).uleb(row[1]).u8(row[2]);
        for (size_t i = 3; i < row.size(); i += 2) {
            a.uleb(row[i]).uleb(row[i + 1]);
            if (row[i + 1] == 0x21) a.sleb(12);  // call line 12
        }
        a.u8(0).u8(0);
    }
    return a.u8(0).bytes;
}

const std::vector<std::string> strings = {"ns",          "S",           "get",           "inner",
                                          "char",        "long unsigned int", "size_t", "long double",
                                          "_ZN2ns5outerEv", "outer"};

// The unit: code 0x1000 to 0x1200 (a range list), routine outer at 0x1000
// to 0x1100; inner inlined into it at 0x1010-0x1020 and 0x1040-0x1050
// (call line 77); S::get inlined into inner at 0x1044-0x1048 (call line 12).
//   namespace ns { namespace {
//     struct S { void get() const; };
//     void inner(const char* const, size_t, const long double&); } }
Bytes debug_info(Info& d) {
    Assembler& a = d.a;
    a.u32(0).u16(5).u8(1).u8(8).u32(0);
    a.uleb(1).u8(0x21).u32(8).u32(8).u32(12).uleb(0).uleb(1);
    d.mark("char").uleb(12).u8(4);
    d.mark("const char").uleb(13), d.ref("char");
    d.mark("char const*").uleb(14), d.ref("const char");
    d.mark("char const* const").uleb(13), d.ref("char const*");
    d.mark("ulong").uleb(12).u8(5);
    d.mark("size_t").uleb(16).u8(6), d.ref("ulong");
    d.mark("ld").uleb(12).u8(7);
    d.mark("const ld").uleb(13), d.ref("ld");
    d.mark("ld const&").uleb(15), d.ref("const ld");
    a.uleb(2).u8(0).uleb(3);
    d.mark("S").uleb(4).u8(1);
    d.mark("get decl").uleb(5).u8(2), a.uleb(7), d.ref("S const*"), a.u8(0);
    a.u8(0);
    d.mark("S const").uleb(13), d.ref("S");
    d.mark("S const*").uleb(14), d.ref("S const");
    d.mark("inner decl").uleb(5).u8(3);
    a.uleb(6), d.ref("char const* const"), a.uleb(6), d.ref("size_t"), a.uleb(6), d.ref("ld const&"), a.u8(0);
    a.u8(0).u8(0);
    d.mark("inner").uleb(8), d.ref("inner decl"), a.u8(1).u8(0);
    d.mark("get").uleb(8), d.ref("get decl"), a.u8(1).u8(0);
    d.mark("outer").uleb(9).u16(8).u8(9).u8(1).u32(0x100);
    d.mark("inlined inner").uleb(10), d.ref("inner"), a.uleb(0).u8(1).u16(77);
    d.mark("inlined get").uleb(11), d.ref("get"), a.u64(0x1044).u8(4).u8(1);
    a.u8(0).u8(0).u8(0);
    d.resolve();
    return a.bytes;
}

struct Sections {
    Info info;
    Bytes abbrev = abbreviations(), str, str_offsets, addr, rnglists;
    vkrt::DwarfInfoSections ranges() {
        const auto r = [](const Bytes& b) { return vkrt::ByteRange{b.data(), b.size()}; };
        debug_info(info);
        return {r(info.a.bytes), r(abbrev), r(str), {}, r(str_offsets), r(addr), r(rnglists), {}};
    }
    Sections() {
        Assembler offsets, s;
        offsets.u32(0).u16(5).u16(0);
        for (const std::string& text : strings) offsets.u32(static_cast<uint32_t>(s.bytes.size())), s.str(text);
        str = s.bytes;
        str_offsets = offsets.bytes;
        addr = Assembler().u32(0).u16(5).u8(8).u8(0).u64(0x1000).u64(0x1000).bytes;
        // Two lists after the offsets: inner's (offset pairs from the unit's
        // base 0x1000), then the unit's own (addrx 0, length 0x200).
        rnglists = Assembler().u32(0).u16(5).u8(8).u8(0).u32(2).u32(8).u32(15)
                       .u8(4).uleb(0x10).uleb(0x20).u8(4).uleb(0x40).uleb(0x50).u8(0)
                       .u8(3).uleb(0).uleb(0x200).u8(0).bytes;
    }
};

TEST(TraceInlines, FindsTheCallsInlinedAtAnAddressInnermostFirst) {
    Sections s;
    const vkrt::DwarfInfoSections sections = s.ranges();
    struct Case {
        uint64_t address;
        bool found;
        std::vector<std::string> calls;  // entries, innermost first
        std::vector<uint64_t> lines;
    };
    const Case cases[] = {
        {0x1046, true, {"inlined get", "inlined inner"}, {12, 77}},
        {0x1015, true, {"inlined inner"}, {77}},
        {0x104f, true, {"inlined inner"}, {77}},
        {0x1030, true, {}, {}},    // between inner's two ranges
        {0x10ff, true, {}, {}},
        {0x1100, false, {}, {}},   // in the unit, in no routine
        {0x3000, false, {}, {}},   // in no unit
    };
    for (const Case& c : cases) {
        vkrt::InlineChain chain;
        ASSERT_EQ(vkrt::find_inlined_calls(sections, c.address, chain), c.found) << std::hex << c.address;
        if (!c.found) continue;
        ASSERT_EQ(chain.count, static_cast<int>(c.calls.size())) << std::hex << c.address;
        for (int i = 0; i < chain.count; ++i) {
            EXPECT_EQ(chain.calls[i].entry, s.info.at.at(c.calls[i])) << std::hex << c.address;
            EXPECT_EQ(chain.calls[i].call_line, c.lines[i]);
            EXPECT_EQ(chain.calls[i].call_file, 1u);
        }
    }
}

TEST(TraceInlines, NamesRoutinesAsTheDemanglerSpellsThem) {
    Sections s;
    const vkrt::DwarfInfoSections sections = s.ranges();
    const struct {
        const char* entry;
        const char* linkage_name;
        const char* text;
    } cases[] = {
        {"inlined get", nullptr, "ns::(anonymous namespace)::S::get() const"},
        {"inlined inner", nullptr, "ns::(anonymous namespace)::inner(char const*, unsigned long, long double const&)"},
        {"outer", "_ZN2ns5outerEv", ""},
    };
    for (const auto& c : cases) {
        vkrt::RoutineName name;
        ASSERT_TRUE(vkrt::routine_name(sections, s.info.at.at(c.entry), name)) << c.entry;
        EXPECT_STREQ(name.linkage_name, c.linkage_name) << c.entry;
        EXPECT_STREQ(name.text, c.text) << c.entry;
    }
}

}  // namespace
