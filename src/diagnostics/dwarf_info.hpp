// Reading debugging information entries in place from .debug_info (DWARF 2
// to 5 with the forms GCC writes: strx, line_strp, addrx, rnglistx,
// implicit_const ...). Nothing is allocated: a unit indexes its
// abbreviations in a fixed table of its own, and every value is read
// straight from the mapped program file. Offsets are offsets into
// .debug_info; 0 stands for "absent", since no entry sits at offset 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "diagnostics/byte_reader.hpp"

namespace vkrt {

struct DwarfInfoSections {
    ByteRange info;         // .debug_info
    ByteRange abbrev;       // .debug_abbrev
    ByteRange str;          // .debug_str
    ByteRange line_str;     // .debug_line_str
    ByteRange str_offsets;  // .debug_str_offsets
    ByteRange addr;         // .debug_addr
    ByteRange rnglists;     // .debug_rnglists (version 5)
    ByteRange ranges;       // .debug_ranges (versions 2 to 4)
};

enum : uint64_t {
    DW_TAG_class_type = 0x02,
    DW_TAG_enumeration_type = 0x04,
    DW_TAG_formal_parameter = 0x05,
    DW_TAG_lexical_block = 0x0b,
    DW_TAG_pointer_type = 0x0f,
    DW_TAG_reference_type = 0x10,
    DW_TAG_compile_unit = 0x11,
    DW_TAG_structure_type = 0x13,
    DW_TAG_subroutine_type = 0x15,
    DW_TAG_typedef = 0x16,
    DW_TAG_union_type = 0x17,
    DW_TAG_unspecified_parameters = 0x18,
    DW_TAG_inlined_subroutine = 0x1d,
    DW_TAG_base_type = 0x24,
    DW_TAG_const_type = 0x26,
    DW_TAG_subprogram = 0x2e,
    DW_TAG_volatile_type = 0x35,
    DW_TAG_namespace = 0x39,
    DW_TAG_unspecified_type = 0x3b,
    DW_TAG_partial_unit = 0x3c,
    DW_TAG_rvalue_reference_type = 0x42,
};

// One entry with the attributes a trace needs; the others are passed over.
struct DwarfEntry {
    uint64_t offset = 0;
    uint64_t tag = 0;  // 0: the null entry that closes a list of children
    bool has_children = false;
    uint64_t next = 0;     // the entry after this one's attributes
    uint64_t sibling = 0;  // DW_AT_sibling
    const char* name = nullptr;
    const char* linkage_name = nullptr;
    uint64_t abstract_origin = 0;
    uint64_t declaration_entry = 0;  // DW_AT_specification
    uint64_t type = 0;
    bool external = false;
    bool artificial = false;
    // Code ranges: low_pc with high_pc (an address, or a length when
    // high_pc_is_length), or a range list.
    bool has_low_pc = false, has_high_pc = false, high_pc_is_length = false;
    uint64_t low_pc = 0, high_pc = 0;
    bool has_ranges = false, ranges_is_index = false;
    uint64_t ranges = 0;
    uint64_t call_file = 0;
    uint64_t call_line = 0;
    // Unit entries only.
    bool has_stmt_list = false;
    uint64_t stmt_list = 0;
    uint64_t language = 0;
    uint64_t str_offsets_base = 0, addr_base = 0, rnglists_base = 0;
};

struct DwarfUnit {
    const DwarfInfoSections* sections = nullptr;
    uint64_t offset = 0;     // of the unit header
    uint64_t end = 0;        // just past the unit
    uint64_t first_entry = 0;
    int version = 0;
    bool dwarf64 = false;
    uint8_t address_size = 8;
    uint64_t abbrev_offset = 0;
    DwarfEntry root;  // the unit's own entry, its bases applied
    // Offsets into .debug_abbrev of the declarations of codes 1 to 511,
    // plus one; 0 for a code not indexed (looked up by a scan instead).
    static constexpr size_t indexed_codes = 512;
    uint32_t abbreviation[indexed_codes] = {};
};

enum class UnitRead { usable, unusable, end_of_units };

// Reads the unit whose header is at `offset` and sets `next` to the offset
// of the unit after it. Only compilation and partial units are usable.
UnitRead read_unit(const DwarfInfoSections& sections, uint64_t offset, DwarfUnit& unit, uint64_t& next);

// Reads the unit that holds the entry at `offset`.
bool unit_containing(const DwarfInfoSections& sections, uint64_t offset, DwarfUnit& unit);

// Reads the entry at `offset` of the unit; false when it is damaged or
// lies outside the unit.
bool read_entry(const DwarfUnit& unit, uint64_t offset, DwarfEntry& entry);

// Whether the entry's code holds the link-time address; `has_code` tells
// whether it describes any code at all.
bool entry_covers(const DwarfUnit& unit, const DwarfEntry& entry, uint64_t address, bool& has_code);

// The offset just past the entry's children (its next sibling).
uint64_t after_children(const DwarfUnit& unit, const DwarfEntry& entry);

}  // namespace vkrt
