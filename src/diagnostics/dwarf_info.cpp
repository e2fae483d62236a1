// Decoding of .debug_info units and entries. A unit header gives the
// abbreviation table the unit's entries are coded with; each entry is its
// abbreviation code, then one value per attribute of that abbreviation in
// the form it names. Values are decoded into the fields of DwarfEntry the
// trace reads; references become .debug_info offsets, string indices and
// address indices are resolved through the unit's bases.
#include "diagnostics/dwarf_info.hpp"

namespace vkrt {

namespace {

enum : uint64_t {
    DW_AT_sibling = 0x01, DW_AT_name = 0x03, DW_AT_stmt_list = 0x10, DW_AT_low_pc = 0x11,
    DW_AT_high_pc = 0x12, DW_AT_language = 0x13, DW_AT_abstract_origin = 0x31,
    DW_AT_artificial = 0x34, DW_AT_external = 0x3f, DW_AT_specification = 0x47, DW_AT_type = 0x49,
    DW_AT_ranges = 0x55, DW_AT_call_file = 0x58, DW_AT_call_line = 0x59, DW_AT_linkage_name = 0x6e,
    DW_AT_str_offsets_base = 0x72, DW_AT_addr_base = 0x73, DW_AT_rnglists_base = 0x74,
    DW_AT_MIPS_linkage_name = 0x2007,
};

enum : uint64_t {
    DW_FORM_addr = 0x01, DW_FORM_block2 = 0x03, DW_FORM_block4, DW_FORM_data2, DW_FORM_data4,
    DW_FORM_data8, DW_FORM_string, DW_FORM_block, DW_FORM_block1, DW_FORM_data1, DW_FORM_flag,
    DW_FORM_sdata, DW_FORM_strp, DW_FORM_udata, DW_FORM_ref_addr, DW_FORM_ref1, DW_FORM_ref2,
    DW_FORM_ref4, DW_FORM_ref8, DW_FORM_ref_udata, DW_FORM_indirect, DW_FORM_sec_offset,
    DW_FORM_exprloc, DW_FORM_flag_present, DW_FORM_strx, DW_FORM_addrx, DW_FORM_ref_sup4,
    DW_FORM_strp_sup, DW_FORM_data16, DW_FORM_line_strp, DW_FORM_ref_sig8, DW_FORM_implicit_const,
    DW_FORM_loclistx, DW_FORM_rnglistx, DW_FORM_ref_sup8, DW_FORM_strx1, DW_FORM_strx2,
    DW_FORM_strx3, DW_FORM_strx4, DW_FORM_addrx1, DW_FORM_addrx2, DW_FORM_addrx3, DW_FORM_addrx4,
    DW_FORM_GNU_addr_index = 0x1f01, DW_FORM_GNU_str_index = 0x1f02, DW_FORM_GNU_ref_alt = 0x1f20,
    DW_FORM_GNU_strp_alt = 0x1f21,
};

enum : uint8_t { DW_UT_compile = 1, DW_UT_partial = 3 };

enum class Kind { none, number, constant, address, reference, text, range_index };

struct Value {
    Kind kind = Kind::none;
    uint64_t number = 0;
    const char* text = nullptr;
};

uint64_t u24(ByteReader& in) {
    const uint64_t low = in.u16();
    return low | uint64_t{in.u8()} << 16;
}

// Entry `index` of a table of offsets or addresses of `size` bytes each,
// starting at `base` of `section`.
bool table_entry(ByteRange section, uint64_t base, uint64_t index, unsigned size, uint64_t& value) {
    if (base > section.size || index > (section.size - base) / size) return false;
    ByteReader in(section.data + base + index * size, section.data + section.size);
    value = size == 8 ? in.u64() : in.u32();
    return in.ok();
}

void string_index(const DwarfUnit& unit, uint64_t index, Value& value) {
    uint64_t offset = 0;
    value.kind = Kind::text;
    const unsigned size = unit.dwarf64 ? 8 : 4;
    if (table_entry(unit.sections->str_offsets, unit.root.str_offsets_base, index, size, offset)) {
        value.text = string_at(unit.sections->str, offset);
    }
}

void address_index(const DwarfUnit& unit, uint64_t index, Value& value) {
    value.kind = Kind::address;
    table_entry(unit.sections->addr, unit.root.addr_base, index, unit.address_size, value.number);
}

void set(Value& value, Kind kind, uint64_t number) {
    value.kind = kind;
    value.number = number;
}

// Reads one attribute value; false for a form this reader does not know,
// whose length it therefore cannot pass over.
bool read_value(ByteReader& in, uint64_t form, int64_t implicit, const DwarfUnit& unit, Value& value) {
    const DwarfInfoSections& s = *unit.sections;
    switch (form) {
    case DW_FORM_addr: set(value, Kind::address, unit.address_size == 8 ? in.u64() : in.u32()); break;
    case DW_FORM_data1: set(value, Kind::constant, in.u8()); break;
    case DW_FORM_data2: set(value, Kind::constant, in.u16()); break;
    case DW_FORM_data4: set(value, Kind::constant, in.u32()); break;
    case DW_FORM_data8: set(value, Kind::constant, in.u64()); break;
    case DW_FORM_udata: set(value, Kind::constant, in.uleb()); break;
    case DW_FORM_sdata: set(value, Kind::constant, static_cast<uint64_t>(in.sleb())); break;
    case DW_FORM_implicit_const: set(value, Kind::constant, static_cast<uint64_t>(implicit)); break;
    case DW_FORM_flag: set(value, Kind::number, in.u8()); break;
    case DW_FORM_flag_present: set(value, Kind::number, 1); break;
    case DW_FORM_sec_offset: set(value, Kind::number, in.offset(unit.dwarf64)); break;
    case DW_FORM_ref1: set(value, Kind::reference, unit.offset + in.u8()); break;
    case DW_FORM_ref2: set(value, Kind::reference, unit.offset + in.u16()); break;
    case DW_FORM_ref4: set(value, Kind::reference, unit.offset + in.u32()); break;
    case DW_FORM_ref8: set(value, Kind::reference, unit.offset + in.u64()); break;
    case DW_FORM_ref_udata: set(value, Kind::reference, unit.offset + in.uleb()); break;
    case DW_FORM_ref_addr:
        set(value, Kind::reference, unit.version == 2 ? in.u64() : in.offset(unit.dwarf64));
        break;
    case DW_FORM_string: value.kind = Kind::text, value.text = in.cstr(); break;
    case DW_FORM_strp: value.kind = Kind::text, value.text = string_at(s.str, in.offset(unit.dwarf64)); break;
    case DW_FORM_line_strp:
        value.kind = Kind::text, value.text = string_at(s.line_str, in.offset(unit.dwarf64));
        break;
    case DW_FORM_strx: case DW_FORM_GNU_str_index: string_index(unit, in.uleb(), value); break;
    case DW_FORM_strx1: string_index(unit, in.u8(), value); break;
    case DW_FORM_strx2: string_index(unit, in.u16(), value); break;
    case DW_FORM_strx3: string_index(unit, u24(in), value); break;
    case DW_FORM_strx4: string_index(unit, in.u32(), value); break;
    case DW_FORM_addrx: case DW_FORM_GNU_addr_index: address_index(unit, in.uleb(), value); break;
    case DW_FORM_addrx1: address_index(unit, in.u8(), value); break;
    case DW_FORM_addrx2: address_index(unit, in.u16(), value); break;
    case DW_FORM_addrx3: address_index(unit, u24(in), value); break;
    case DW_FORM_addrx4: address_index(unit, in.u32(), value); break;
    case DW_FORM_rnglistx: set(value, Kind::range_index, in.uleb()); break;
    case DW_FORM_loclistx: in.uleb(); break;
    case DW_FORM_block1: in.skip(in.u8()); break;
    case DW_FORM_block2: in.skip(in.u16()); break;
    case DW_FORM_block4: in.skip(in.u32()); break;
    case DW_FORM_block: case DW_FORM_exprloc: in.skip(in.uleb()); break;
    case DW_FORM_data16: in.skip(16); break;
    case DW_FORM_ref_sig8: case DW_FORM_ref_sup8: in.skip(8); break;
    case DW_FORM_ref_sup4: in.skip(4); break;
    case DW_FORM_strp_sup: case DW_FORM_GNU_ref_alt: case DW_FORM_GNU_strp_alt: in.offset(unit.dwarf64); break;
    case DW_FORM_indirect: {
        const uint64_t actual = in.uleb();
        return actual != DW_FORM_indirect && read_value(in, actual, implicit, unit, value);
    }
    default: return false;
    }
    return in.ok();
}

void take_value(uint64_t attribute, const Value& v, DwarfEntry& e) {
    const bool ref = v.kind == Kind::reference;
    switch (attribute) {
    case DW_AT_sibling: if (ref) e.sibling = v.number; break;
    case DW_AT_name: e.name = v.text; break;
    case DW_AT_linkage_name: case DW_AT_MIPS_linkage_name: e.linkage_name = v.text; break;
    case DW_AT_abstract_origin: if (ref) e.abstract_origin = v.number; break;
    case DW_AT_specification: if (ref) e.declaration_entry = v.number; break;
    case DW_AT_type: if (ref) e.type = v.number; break;
    case DW_AT_external: e.external = v.number != 0; break;
    case DW_AT_artificial: e.artificial = v.number != 0; break;
    case DW_AT_low_pc: e.has_low_pc = v.kind == Kind::address, e.low_pc = v.number; break;
    case DW_AT_high_pc:
        e.has_high_pc = v.kind == Kind::address || v.kind == Kind::constant;
        e.high_pc_is_length = v.kind == Kind::constant;
        e.high_pc = v.number;
        break;
    case DW_AT_ranges:
        e.has_ranges = v.kind == Kind::number || v.kind == Kind::range_index || v.kind == Kind::constant;
        e.ranges_is_index = v.kind == Kind::range_index;
        e.ranges = v.number;
        break;
    case DW_AT_call_file: e.call_file = v.number; break;
    case DW_AT_call_line: e.call_line = v.number; break;
    case DW_AT_stmt_list: e.has_stmt_list = true, e.stmt_list = v.number; break;
    case DW_AT_language: e.language = v.number; break;
    case DW_AT_str_offsets_base: e.str_offsets_base = v.number; break;
    case DW_AT_addr_base: e.addr_base = v.number; break;
    case DW_AT_rnglists_base: e.rnglists_base = v.number; break;
    default: break;
    }
}

// Passes over one abbreviation declaration's attribute specifications.
void skip_specifications(ByteReader& in) {
    for (;;) {
        const uint64_t attribute = in.uleb();
        const uint64_t form = in.uleb();
        if (form == DW_FORM_implicit_const) in.sleb();
        if ((attribute == 0 && form == 0) || !in.ok()) return;
    }
}

// Indexes the unit's abbreviation codes below indexed_codes.
void index_abbreviations(DwarfUnit& unit) {
    const ByteRange abbrev = unit.sections->abbrev;
    if (unit.abbrev_offset >= abbrev.size) return;
    ByteReader in(abbrev.data + unit.abbrev_offset, abbrev.data + abbrev.size);
    for (uint64_t code = in.uleb(); code != 0 && in.ok(); code = in.uleb()) {
        const uint64_t at = static_cast<uint64_t>(in.position() - abbrev.data);
        if (code < DwarfUnit::indexed_codes && at < UINT32_MAX) unit.abbreviation[code] = static_cast<uint32_t>(at + 1);
        in.uleb();
        in.u8();
        skip_specifications(in);
    }
}

// The declaration of an abbreviation code: its tag, children flag and
// attribute specifications follow at the returned position.
const uint8_t* abbreviation(const DwarfUnit& unit, uint64_t code) {
    const ByteRange abbrev = unit.sections->abbrev;
    if (code < DwarfUnit::indexed_codes) {
        const uint32_t at = unit.abbreviation[code];
        return at != 0 ? abbrev.data + (at - 1) : nullptr;
    }
    if (unit.abbrev_offset >= abbrev.size) return nullptr;
    ByteReader in(abbrev.data + unit.abbrev_offset, abbrev.data + abbrev.size);
    for (uint64_t c = in.uleb(); c != 0 && in.ok(); c = in.uleb()) {
        if (c == code) return in.position();
        in.uleb();
        in.u8();
        skip_specifications(in);
    }
    return nullptr;
}

}  // namespace

bool read_entry(const DwarfUnit& unit, uint64_t offset, DwarfEntry& entry) {
    const ByteRange info = unit.sections->info;
    if (offset < unit.first_entry || offset >= unit.end || unit.end > info.size) return false;
    ByteReader in(info.data + offset, info.data + unit.end);
    entry = DwarfEntry{};
    entry.offset = offset;
    const uint64_t code = in.uleb();
    if (code != 0) {
        const uint8_t* declaration = abbreviation(unit, code);
        if (declaration == nullptr) return false;
        const ByteRange abbrev = unit.sections->abbrev;
        ByteReader attributes(declaration, abbrev.data + abbrev.size);
        entry.tag = attributes.uleb();
        entry.has_children = attributes.u8() != 0;
        for (;;) {
            const uint64_t attribute = attributes.uleb();
            const uint64_t form = attributes.uleb();
            const int64_t implicit = form == DW_FORM_implicit_const ? attributes.sleb() : 0;
            if (!attributes.ok()) return false;
            if (attribute == 0 && form == 0) break;
            Value value;
            if (!read_value(in, form, implicit, unit, value)) return false;
            take_value(attribute, value, entry);
        }
    }
    entry.next = static_cast<uint64_t>(in.position() - info.data);
    return in.ok();
}

UnitRead read_unit(const DwarfInfoSections& sections, uint64_t offset, DwarfUnit& unit, uint64_t& next) {
    const ByteRange info = sections.info;
    if (offset >= info.size) return UnitRead::end_of_units;
    ByteReader in(info.data + offset, info.data + info.size);
    uint64_t length = in.u32();
    const bool dwarf64 = length == 0xffffffff;
    if (dwarf64) length = in.u64();
    if (!in.ok() || length > in.remaining() || length < 7) return UnitRead::end_of_units;
    const uint64_t end = static_cast<uint64_t>(in.position() - info.data) + length;
    next = end;
    unit.sections = &sections;
    unit.offset = offset;
    unit.end = end;
    unit.dwarf64 = dwarf64;
    unit.version = in.u16();
    if (unit.version < 2 || unit.version > 5) return UnitRead::unusable;
    if (unit.version >= 5) {
        const uint8_t type = in.u8();
        if (type != DW_UT_compile && type != DW_UT_partial) return UnitRead::unusable;
        unit.address_size = in.u8();
        unit.abbrev_offset = in.offset(dwarf64);
    } else {
        unit.abbrev_offset = in.offset(dwarf64);
        unit.address_size = in.u8();
    }
    if (!in.ok() || (unit.address_size != 4 && unit.address_size != 8)) return UnitRead::unusable;
    unit.first_entry = static_cast<uint64_t>(in.position() - info.data);
    for (uint32_t& at : unit.abbreviation) at = 0;
    index_abbreviations(unit);
    // Read twice: the first reading finds the bases that strx and addrx
    // values of the unit entry itself are resolved through.
    unit.root = DwarfEntry{};
    DwarfEntry root;
    if (!read_entry(unit, unit.first_entry, root)) return UnitRead::unusable;
    unit.root = root;
    if (!read_entry(unit, unit.first_entry, root)) return UnitRead::unusable;
    unit.root = root;
    const bool is_unit = root.tag == DW_TAG_compile_unit || root.tag == DW_TAG_partial_unit;
    return is_unit ? UnitRead::usable : UnitRead::unusable;
}

namespace {

// The offset of the unit after the one at `offset`; 0 past the last one.
uint64_t next_unit(ByteRange info, uint64_t offset) {
    if (offset >= info.size) return 0;
    ByteReader in(info.data + offset, info.data + info.size);
    uint64_t length = in.u32();
    if (length == 0xffffffff) length = in.u64();
    if (!in.ok() || length > in.remaining()) return 0;
    return static_cast<uint64_t>(in.position() - info.data) + length;
}

}  // namespace

bool unit_containing(const DwarfInfoSections& sections, uint64_t offset, DwarfUnit& unit) {
    for (uint64_t at = 0, next; (next = next_unit(sections.info, at)) != 0; at = next) {
        if (offset >= at && offset < next) return read_unit(sections, at, unit, next) == UnitRead::usable;
    }
    return false;
}

namespace {

enum : uint8_t {
    DW_RLE_end_of_list, DW_RLE_base_addressx, DW_RLE_startx_endx, DW_RLE_startx_length,
    DW_RLE_offset_pair, DW_RLE_base_address, DW_RLE_start_end, DW_RLE_start_length,
};

uint64_t address_at(const DwarfUnit& unit, uint64_t index) {
    Value value;
    address_index(unit, index, value);
    return value.number;
}

// A version 5 range list (.debug_rnglists) at `offset`.
bool rnglist_covers(const DwarfUnit& unit, uint64_t offset, uint64_t address) {
    const ByteRange section = unit.sections->rnglists;
    if (offset >= section.size) return false;
    ByteReader in(section.data + offset, section.data + section.size);
    uint64_t base = unit.root.low_pc;
    const auto read_address = [&] { return unit.address_size == 8 ? in.u64() : uint64_t{in.u32()}; };
    while (in.ok()) {
        uint64_t begin = 0, end = 0;
        switch (in.u8()) {
        case DW_RLE_end_of_list: return false;
        case DW_RLE_base_addressx: base = address_at(unit, in.uleb()); continue;
        case DW_RLE_base_address: base = read_address(); continue;
        case DW_RLE_startx_endx: begin = address_at(unit, in.uleb()), end = address_at(unit, in.uleb()); break;
        case DW_RLE_startx_length: begin = address_at(unit, in.uleb()), end = begin + in.uleb(); break;
        case DW_RLE_offset_pair: begin = base + in.uleb(), end = base + in.uleb(); break;
        case DW_RLE_start_end: begin = read_address(), end = read_address(); break;
        case DW_RLE_start_length: begin = read_address(), end = begin + in.uleb(); break;
        default: return false;
        }
        if (in.ok() && begin <= address && address < end) return true;
    }
    return false;
}

// A version 2 to 4 range list (.debug_ranges) at `offset`.
bool ranges_cover(const DwarfUnit& unit, uint64_t offset, uint64_t address) {
    const ByteRange section = unit.sections->ranges;
    if (offset >= section.size) return false;
    ByteReader in(section.data + offset, section.data + section.size);
    const bool wide = unit.address_size == 8;
    const uint64_t selector = wide ? UINT64_MAX : UINT32_MAX;
    uint64_t base = unit.root.low_pc;
    while (in.ok()) {
        const uint64_t begin = wide ? in.u64() : in.u32();
        const uint64_t end = wide ? in.u64() : in.u32();
        if (!in.ok() || (begin == 0 && end == 0)) return false;
        if (begin == selector) {
            base = end;
        } else if (base + begin <= address && address < base + end) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool entry_covers(const DwarfUnit& unit, const DwarfEntry& entry, uint64_t address, bool& has_code) {
    has_code = entry.has_ranges || (entry.has_low_pc && entry.has_high_pc);
    if (entry.has_ranges) {
        uint64_t offset = entry.ranges;
        if (entry.ranges_is_index) {
            const unsigned size = unit.dwarf64 ? 8 : 4;
            const uint64_t base = unit.root.rnglists_base;
            if (!table_entry(unit.sections->rnglists, base, entry.ranges, size, offset)) return false;
            offset += base;  // the offsets of the table count from its base
        }
        return unit.version >= 5 ? rnglist_covers(unit, offset, address) : ranges_cover(unit, offset, address);
    }
    if (!has_code) return false;
    const uint64_t end = entry.high_pc_is_length ? entry.low_pc + entry.high_pc : entry.high_pc;
    return entry.low_pc <= address && address < end;
}

uint64_t after_children(const DwarfUnit& unit, const DwarfEntry& entry) {
    if (!entry.has_children) return entry.next;
    if (entry.sibling > entry.offset && entry.sibling <= unit.end) return entry.sibling;
    uint64_t at = entry.next;
    for (int depth = 1; depth > 0;) {
        DwarfEntry child;
        if (!read_entry(unit, at, child)) return unit.end;
        if (child.tag == 0) --depth;
        else if (child.has_children) ++depth;
        at = child.next;
    }
    return at;
}

}  // namespace vkrt
