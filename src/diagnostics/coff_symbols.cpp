// Function names from the COFF symbol table of a PE program file. COFF
// symbols carry no sizes: an address belongs to the nearest function symbol
// at or below it in the same section. Symbol values are offsets into their
// section, so both sides are compared as offsets from the image base. A
// linear search: a trace looks up a dozen addresses once in the process.
#include <cstring>

#include "diagnostics/symbols.hpp"

namespace vkrt {

namespace {

constexpr size_t symbol_bytes = 18;
constexpr size_t section_header_bytes = 40;
constexpr uint16_t function_type = 0x20;  // derived type "function"
constexpr uint8_t class_external = 2;
constexpr uint8_t class_static = 3;

struct Section {
    uint32_t begin = 0;  // offset from the image base
    uint32_t end = 0;
};

bool section_of(const ProgramFile& file, int number, Section& section) {
    if (number < 1 || size_t(number) * section_header_bytes > file.sections.size) return false;
    ByteReader in(file.sections.data + size_t(number - 1) * section_header_bytes + 8,
                  file.sections.data + file.sections.size);
    const uint32_t size = in.u32();
    section.begin = in.u32();
    section.end = section.begin + size;
    return in.ok();
}

struct Symbol {
    const uint8_t* record;
    uint32_t value;
    int16_t section;
    uint16_t type;
    uint8_t storage_class;
    uint8_t aux_count;
};

Symbol symbol_at(const ProgramFile& file, size_t index) {
    ByteReader in(file.symtab.data + index * symbol_bytes, file.symtab.data + file.symtab.size);
    Symbol symbol{in.position(), 0, 0, 0, 0, 0};
    in.skip(8);
    symbol.value = in.u32();
    symbol.section = static_cast<int16_t>(in.u16());
    symbol.type = in.u16();
    symbol.storage_class = in.u8();
    symbol.aux_count = in.u8();
    return symbol;
}

// A symbol's name: in the string table when its first four bytes are zero,
// else the eight bytes in place, copied because a name of eight has no
// terminator.
const char* symbol_name(const ProgramFile& file, const Symbol& symbol) {
    static char short_name[9];
    uint32_t zeros, offset;
    std::memcpy(&zeros, symbol.record, 4);
    std::memcpy(&offset, symbol.record + 4, 4);
    if (zeros == 0) return string_at(file.strtab, offset);
    std::memcpy(short_name, symbol.record, 8);
    short_name[8] = '\0';
    return short_name;
}

}  // namespace

const char* function_symbol(const ProgramFile& file, uint64_t address) {
    if (address < file.link_base) return nullptr;
    const uint64_t offset = address - file.link_base;
    const size_t count = file.symtab.size / symbol_bytes;
    bool found = false;
    uint64_t best_start = 0;
    Symbol best{};
    for (size_t i = 0; i < count; i += 1 + symbol_at(file, i).aux_count) {
        const Symbol symbol = symbol_at(file, i);
        if (symbol.type != function_type) continue;
        if (symbol.storage_class != class_external && symbol.storage_class != class_static) continue;
        Section section;
        if (!section_of(file, symbol.section, section)) continue;
        if (offset < section.begin || offset >= section.end) continue;
        const uint64_t start = uint64_t{section.begin} + symbol.value;
        if (start > offset || (found && start <= best_start)) continue;
        found = true;
        best_start = start;
        best = symbol;
    }
    if (!found) return nullptr;
    const char* name = symbol_name(file, best);
    return name != nullptr && *name != '\0' ? name : nullptr;
}

}  // namespace vkrt
