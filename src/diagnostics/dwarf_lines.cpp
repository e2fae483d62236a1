// Decoding of DWARF line-number programs. Each unit's header is read, then
// its program is run row by row until a row and its successor in the same
// sequence bracket the address; the file of that row is then looked up in
// the unit's directory and file tables.
#include "diagnostics/dwarf_lines.hpp"

namespace vkrt {

namespace {

enum : uint8_t {
    DW_LNS_copy = 1,
    DW_LNS_advance_pc,
    DW_LNS_advance_line,
    DW_LNS_set_file,
    DW_LNS_set_column,
    DW_LNS_negate_stmt,
    DW_LNS_set_basic_block,
    DW_LNS_const_add_pc,
    DW_LNS_fixed_advance_pc,
};
enum : uint8_t { DW_LNE_end_sequence = 1, DW_LNE_set_address = 2 };
enum : uint64_t { DW_LNCT_path = 1, DW_LNCT_directory_index = 2 };
enum : uint64_t {
    DW_FORM_block2 = 0x03, DW_FORM_block4 = 0x04, DW_FORM_data2 = 0x05, DW_FORM_data4 = 0x06,
    DW_FORM_data8 = 0x07, DW_FORM_string = 0x08, DW_FORM_block = 0x09, DW_FORM_block1 = 0x0a,
    DW_FORM_data1 = 0x0b, DW_FORM_strp = 0x0e, DW_FORM_udata = 0x0f, DW_FORM_data16 = 0x1e,
    DW_FORM_line_strp = 0x1f,
};

struct UnitHeader {
    int version = 0;
    bool dwarf64 = false;
    uint8_t min_instruction_length = 1;
    bool default_is_stmt = true;
    int8_t line_base = 0;
    uint8_t line_range = 1;
    uint8_t opcode_base = 1;
    const uint8_t* opcode_lengths = nullptr;  // opcode_base - 1 entries
    const uint8_t* directories = nullptr;     // directory table (formats first in v5)
    const uint8_t* files = nullptr;           // file table (formats first in v5)
    const uint8_t* program = nullptr;
    const uint8_t* end = nullptr;
};

struct FormValue {
    const char* text = nullptr;
    uint64_t number = 0;
};

// Reads one attribute value of a version 5 directory or file entry; false
// for a form these tables cannot hold.
bool read_form(ByteReader& in, uint64_t form, const UnitHeader& unit,
               const DwarfLineSections& sections, FormValue& value) {
    switch (form) {
    case DW_FORM_string: value.text = in.cstr(); break;
    case DW_FORM_line_strp: value.text = string_at(sections.line_str, in.offset(unit.dwarf64)); break;
    case DW_FORM_strp: value.text = string_at(sections.str, in.offset(unit.dwarf64)); break;
    case DW_FORM_udata: value.number = in.uleb(); break;
    case DW_FORM_data1: value.number = in.u8(); break;
    case DW_FORM_data2: value.number = in.u16(); break;
    case DW_FORM_data4: value.number = in.u32(); break;
    case DW_FORM_data8: value.number = in.u64(); break;
    case DW_FORM_data16: in.skip(16); break;
    case DW_FORM_block: in.skip(in.uleb()); break;
    case DW_FORM_block1: in.skip(in.u8()); break;
    case DW_FORM_block2: in.skip(in.u16()); break;
    case DW_FORM_block4: in.skip(in.u32()); break;
    default: return false;
    }
    return in.ok();
}

// Skips a version 5 entry-format list and returns its start.
const uint8_t* skip_formats(ByteReader& in) {
    const uint8_t* start = in.position();
    const uint8_t count = in.u8();
    for (uint8_t i = 0; i < count; ++i) {
        in.uleb();
        in.uleb();
    }
    return start;
}

// Finds entry `index` of a version 5 directory or file table starting at
// `table` (its format list, count and entries): its path and directory index.
bool v5_entry(const UnitHeader& unit, const DwarfLineSections& sections, const uint8_t* table,
              uint64_t index, const char*& path, uint64_t& directory) {
    ByteReader in(table, unit.end);
    const uint8_t* formats = skip_formats(in);
    const uint64_t count = in.uleb();
    if (index >= count) return false;
    for (uint64_t entry = 0; entry <= index && in.ok(); ++entry) {
        ByteReader format(formats + 1, unit.end);
        for (uint8_t f = 0; f < formats[0]; ++f) {
            const uint64_t content = format.uleb();
            FormValue value;
            if (!read_form(in, format.uleb(), unit, sections, value)) return false;
            if (entry != index) continue;
            if (content == DW_LNCT_path) path = value.text;
            if (content == DW_LNCT_directory_index) directory = value.number;
        }
    }
    return in.ok();
}

// The n-th (from 1) string of a version 2-4 include-directory list.
const char* v4_directory(const UnitHeader& unit, uint64_t n) {
    ByteReader in(unit.directories, unit.end);
    for (uint64_t i = 1;; ++i) {
        const char* name = in.cstr();
        if (name == nullptr || *name == '\0') return nullptr;
        if (i == n) return name;
    }
}

// Version 2-4 file n (from 1): name, directory index, time, length.
bool v4_file(const UnitHeader& unit, uint64_t n, const char*& path, uint64_t& directory) {
    ByteReader in(unit.files, unit.end);
    for (uint64_t i = 1;; ++i) {
        const char* name = in.cstr();
        if (name == nullptr || *name == '\0') return false;
        directory = in.uleb();
        in.uleb();
        in.uleb();
        if (i == n) {
            path = name;
            return in.ok();
        }
    }
}

void resolve_file(const UnitHeader& unit, const DwarfLineSections& sections, uint64_t file,
                  SourceLine& found) {
    const char* path = nullptr;
    uint64_t directory = 0;
    if (unit.version >= 5) {
        if (!v5_entry(unit, sections, unit.files, file, path, directory)) return;
        uint64_t unused;
        if (!v5_entry(unit, sections, unit.directories, directory, found.directory, unused)) {
            found.directory = nullptr;
        }
    } else {
        if (!v4_file(unit, file, path, directory)) return;
        // Directory 0 is the compilation directory, which only the unit's
        // debugging entries record: the name is then given as it stands.
        found.directory = directory == 0 ? nullptr : v4_directory(unit, directory);
    }
    found.file = path;
    if (path != nullptr && path[0] == '/') found.directory = nullptr;
}

enum class HeaderRead { usable, unusable, end_of_units };

// Reads a unit header; `in` stands at the unit's length field and is left at
// the next unit. A unit whose length runs past the section ends the search:
// nothing after it can be located.
HeaderRead read_header(ByteReader& in, UnitHeader& unit) {
    uint64_t length = in.u32();
    unit.dwarf64 = length == 0xffffffff;
    if (unit.dwarf64) length = in.u64();
    if (!in.ok() || length > in.remaining()) return HeaderRead::end_of_units;
    unit.end = in.position() + length;
    ByteReader header(in.position(), unit.end);
    in.skip(length);

    unit.version = header.u16();
    if (unit.version < 2 || unit.version > 5) return HeaderRead::unusable;
    if (unit.version >= 5 && (header.u8() != 8 || header.u8() != 0)) return HeaderRead::unusable;
    const uint64_t header_length = header.offset(unit.dwarf64);
    if (header_length > header.remaining()) return HeaderRead::unusable;
    unit.program = header.position() + header_length;
    unit.min_instruction_length = header.u8();
    if (unit.version >= 4) header.u8();  // operations per instruction: 1 on x86
    unit.default_is_stmt = header.u8() != 0;
    unit.line_base = static_cast<int8_t>(header.u8());
    unit.line_range = header.u8();
    unit.opcode_base = header.u8();
    unit.opcode_lengths = header.position();
    header.skip(unit.opcode_base > 0 ? unit.opcode_base - 1u : 0u);
    unit.directories = header.position();
    const bool usable = header.ok() && unit.line_range != 0 && unit.opcode_base != 0;
    return usable ? HeaderRead::usable : HeaderRead::unusable;
}

// Positions unit.files after the directory table.
bool locate_files(UnitHeader& unit, const DwarfLineSections& sections) {
    ByteReader in(unit.directories, unit.program);
    if (unit.version < 5) {
        for (const char* name = in.cstr(); name != nullptr && *name != '\0'; name = in.cstr()) {
        }
        unit.files = in.position();
        return in.ok();
    }
    const uint8_t* formats = skip_formats(in);
    const uint64_t count = in.uleb();
    for (uint64_t entry = 0; entry < count && in.ok(); ++entry) {
        ByteReader format(formats + 1, unit.end);
        for (uint8_t f = 0; f < formats[0]; ++f) {
            format.uleb();
            FormValue value;
            if (!read_form(in, format.uleb(), unit, sections, value)) return false;
        }
    }
    unit.files = in.position();
    return in.ok();
}

struct Row {
    uint64_t address = 0;
    uint64_t file = 1;
    int64_t line = 1;
};

// The line-number state machine of one unit, watching for the row that
// covers `address`: a row covers the addresses from its own up to the next
// row of the same sequence.
struct LineMachine {
    LineMachine(const UnitHeader& header, uint64_t wanted) : unit(header), address(wanted) {}

    const UnitHeader& unit;
    uint64_t address;
    Row row;
    Row previous;
    bool have_previous = false;
    Row covering;

    // Appends the current row; true when it closes the covering range.
    bool emit(bool end_sequence) {
        if (have_previous && previous.address <= address && address < row.address) {
            covering = previous;
            return true;
        }
        previous = row;
        have_previous = !end_sequence;
        return false;
    }
};

enum class Step { go_on, found, damaged };

Step special_opcode(uint8_t op, LineMachine& m) {
    const unsigned adjusted = op - m.unit.opcode_base;
    m.row.address += uint64_t{adjusted / m.unit.line_range} * m.unit.min_instruction_length;
    m.row.line += m.unit.line_base + static_cast<int>(adjusted % m.unit.line_range);
    return m.emit(false) ? Step::found : Step::go_on;
}

Step extended_opcode(ByteReader& in, LineMachine& m) {
    const uint64_t length = in.uleb();
    if (length == 0 || length > in.remaining()) return Step::damaged;
    const uint8_t* next = in.position() + length;
    const uint8_t extended = in.u8();
    Step step = Step::go_on;
    if (extended == DW_LNE_end_sequence) {
        if (m.emit(true)) step = Step::found;
        m.row = Row{};
    } else if (extended == DW_LNE_set_address) {
        m.row.address = length == 9 ? in.u64() : in.u32();
    }
    in = ByteReader(next, m.unit.end);
    return step;
}

Step standard_opcode(ByteReader& in, uint8_t op, LineMachine& m) {
    const UnitHeader& unit = m.unit;
    switch (op) {
    case DW_LNS_copy: return m.emit(false) ? Step::found : Step::go_on;
    case DW_LNS_advance_pc: m.row.address += in.uleb() * unit.min_instruction_length; break;
    case DW_LNS_advance_line: m.row.line += in.sleb(); break;
    case DW_LNS_set_file: m.row.file = in.uleb(); break;
    case DW_LNS_const_add_pc:
        m.row.address += uint64_t{(255u - unit.opcode_base) / unit.line_range} * unit.min_instruction_length;
        break;
    case DW_LNS_fixed_advance_pc: m.row.address += in.u16(); break;
    default:  // column, flags, ISA and unknown opcodes: skip their operands
        for (uint8_t i = 0; i < unit.opcode_lengths[op - 1]; ++i) in.uleb();
        break;
    }
    return Step::go_on;
}

// Runs the unit's line program; on finding the row that covers the address
// stores its file index and line and returns true.
bool run_program(const UnitHeader& unit, uint64_t address, Row& covering) {
    ByteReader in(unit.program, unit.end);
    LineMachine machine(unit, address);
    while (!in.at_end() && in.ok()) {
        const uint8_t op = in.u8();
        const Step step = op >= unit.opcode_base ? special_opcode(op, machine)
                          : op == 0              ? extended_opcode(in, machine)
                                                 : standard_opcode(in, op, machine);
        if (step == Step::damaged) return false;
        if (step == Step::found) {
            covering = machine.covering;
            return true;
        }
    }
    return false;
}

}  // namespace

bool find_source_file(const DwarfLineSections& sections, uint64_t table, uint64_t file, SourceLine& found) {
    if (table >= sections.line.size) return false;
    ByteReader in(sections.line.data + table, sections.line.data + sections.line.size);
    UnitHeader unit;
    if (read_header(in, unit) != HeaderRead::usable || !locate_files(unit, sections)) return false;
    found = SourceLine{};
    resolve_file(unit, sections, file, found);
    return found.file != nullptr;
}

bool find_source_line(const DwarfLineSections& sections, uint64_t address, SourceLine& found) {
    ByteReader units(sections.line);
    while (!units.at_end()) {
        UnitHeader unit;
        const HeaderRead header = read_header(units, unit);
        if (header == HeaderRead::end_of_units) return false;
        if (header == HeaderRead::unusable) continue;
        Row row;
        if (!locate_files(unit, sections) || !run_program(unit, address, row)) continue;
        found = SourceLine{};
        found.line = row.line > 0 && row.line <= INT32_MAX ? static_cast<int>(row.line) : 0;
        // Version 5 numbers files from 0, earlier versions from 1.
        resolve_file(unit, sections, row.file, found);
        return true;
    }
    return false;
}

}  // namespace vkrt
