// A linear search of the symbol table: a trace looks up a dozen addresses
// once in the life of the process, so no sorted index is built.
#include "diagnostics/symbols.hpp"

#include <cstring>
#include <elf.h>

namespace vkrt {

const char* function_symbol(const ProgramFile& file, uint64_t address) {
    const size_t count = file.symtab.size / sizeof(Elf64_Sym);
    for (size_t i = 0; i < count; ++i) {
        Elf64_Sym symbol;
        std::memcpy(&symbol, file.symtab.data + i * sizeof symbol, sizeof symbol);
        if (ELF64_ST_TYPE(symbol.st_info) != STT_FUNC || symbol.st_shndx == SHN_UNDEF) continue;
        if (address < symbol.st_value || address - symbol.st_value >= symbol.st_size) continue;
        const char* name = string_at(file.strtab, symbol.st_name);
        if (name != nullptr && *name != '\0') return name;
    }
    return nullptr;
}

}  // namespace vkrt
