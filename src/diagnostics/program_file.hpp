// The tables of the program file that traces read: the ELF symbol table
// with its strings, the DWARF line tables and the debugging entries that
// describe inlined calls.
#pragma once

#include "diagnostics/byte_reader.hpp"
#include "diagnostics/dwarf_info.hpp"
#include "diagnostics/dwarf_lines.hpp"

namespace vkrt {

struct ProgramFile {
    ByteRange symtab;  // .symtab entries (ELF), or the COFF symbol table (PE)
    ByteRange strtab;  // the string table that the symbols name
    DwarfLineSections lines;
    DwarfInfoSections info;
    // The link-time address the image is placed at: 0 for ELF, whose
    // addresses are absolute; the preferred image base for PE.
    uint64_t link_base = 0;
    // PE only: the section header table, which COFF symbols are relative to.
    ByteRange sections;
};

// Why a trace cannot use the program file, which decides what it says.
enum class TraceFailureKind {
    no_debug_information,  // neither symbols nor line tables: nothing is said
    facility_error,        // unreadable as a program file: the text alone
    system_error,          // a system call failed: the text and its errno
};

struct TraceFailure {
    TraceFailureKind kind = TraceFailureKind::facility_error;
    int error_number = 0;  // system_error: the errno of the failed call
    const char* text = "";

    // A failed system call; an error number of 0 (an empty file, say) tells
    // nothing more than the text.
    static TraceFailure system(int error_number, const char* text) {
        if (error_number <= 0) return {TraceFailureKind::facility_error, 0, text};
        return {TraceFailureKind::system_error, error_number, text};
    }
};

// Keeps the bytes of a DWARF section the traces read, by its name; any
// other section is passed over. Shared by the ELF and the PE reader.
void take_debug_section(const char* name, ByteRange bytes, ProgramFile& file);

// Maps the ELF file at `path` for the rest of the process and locates its
// tables. Returns false with `failure` set when neither symbols nor line
// tables can be had.
bool read_program_file(const char* path, ProgramFile& file, TraceFailure& failure);

}  // namespace vkrt
