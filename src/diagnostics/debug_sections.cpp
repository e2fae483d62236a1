// Which DWARF sections the traces read, for the ELF and the PE reader alike.
#include <cstring>

#include "diagnostics/program_file.hpp"

namespace vkrt {

void take_debug_section(const char* name, ByteRange bytes, ProgramFile& file) {
    const struct {
        const char* name;
        ByteRange* bytes;
    } wanted[] = {
        {".debug_line", &file.lines.line},
        {".debug_line_str", &file.lines.line_str},
        {".debug_str", &file.lines.str},
        {".debug_info", &file.info.info},
        {".debug_abbrev", &file.info.abbrev},
        {".debug_str_offsets", &file.info.str_offsets},
        {".debug_addr", &file.info.addr},
        {".debug_rnglists", &file.info.rnglists},
        {".debug_ranges", &file.info.ranges},
    };
    for (const auto& section : wanted) {
        if (std::strcmp(name, section.name) == 0) *section.bytes = bytes;
    }
    file.info.str = file.lines.str;
    file.info.line_str = file.lines.line_str;
}

}  // namespace vkrt
