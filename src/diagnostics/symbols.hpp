// Function names from the program file's symbol table (ELF or COFF).
#pragma once

#include <cstdint>

#include "diagnostics/program_file.hpp"

namespace vkrt {

// The (mangled) name of the function whose code holds the link-time
// address, or nullptr when no function symbol covers it.
const char* function_symbol(const ProgramFile& file, uint64_t address);

}  // namespace vkrt
