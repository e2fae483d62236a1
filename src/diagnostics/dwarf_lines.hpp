// Source file and line of a code address, from the DWARF line tables
// (.debug_line, versions 2 to 5, with the string sections that version 5
// names refer to). The tables are decoded in place on each lookup: nothing is
// allocated and nothing is kept between lookups.
#pragma once

#include <cstdint>

#include "diagnostics/byte_reader.hpp"

namespace vkrt {

struct DwarfLineSections {
    ByteRange line;      // .debug_line
    ByteRange line_str;  // .debug_line_str (version 5 DW_FORM_line_strp)
    ByteRange str;       // .debug_str (DW_FORM_strp)
};

struct SourceLine {
    const char* directory = nullptr;  // nullptr when unknown or not needed
    const char* file = nullptr;       // nullptr when unknown
    int line = 0;                     // 0 when unknown
};

// Finds the row covering a link-time address. Returns false when no line
// table covers it; a damaged unit is passed over.
bool find_source_line(const DwarfLineSections& sections, uint64_t address, SourceLine& found);

// The name of file `file` of the line table at offset `table` of
// .debug_line (a unit's DW_AT_stmt_list); `found.line` is left 0.
bool find_source_file(const DwarfLineSections& sections, uint64_t table, uint64_t file, SourceLine& found);

}  // namespace vkrt
