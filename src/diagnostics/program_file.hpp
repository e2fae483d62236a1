// The tables of the program file that traces read: the ELF symbol table
// with its strings, and the DWARF line tables.
#pragma once

#include "diagnostics/byte_reader.hpp"
#include "diagnostics/dwarf_lines.hpp"

namespace vkrt {

struct ProgramFile {
    ByteRange symtab;  // .symtab entries
    ByteRange strtab;  // the string table that .symtab names
    DwarfLineSections lines;
};

// Why a program file cannot be used. A negative code means it simply carries
// neither symbols nor line tables; 0 a file that cannot be read as one; a
// positive code is the errno of a failed system call.
struct TraceFailure {
    int code = 0;
    const char* text = "";
};

// Maps the ELF file at `path` for the rest of the process and locates its
// tables. Returns false with `failure` set when neither symbols nor line
// tables can be had.
bool read_program_file(const char* path, ProgramFile& file, TraceFailure& failure);

}  // namespace vkrt
