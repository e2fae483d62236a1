// The inlined calls that hold a code address, from the inline information
// of .debug_info: the out-of-line routine whose code holds the address, and
// inside it the inlined_subroutine entries whose code ranges hold it, each
// with the place of its call. Allocation-free, like the rest of the lookup.
#pragma once

#include <cstdint>

#include "diagnostics/dwarf_info.hpp"

namespace vkrt {

struct InlinedCall {
    uint64_t entry = 0;      // the inlined_subroutine entry (.debug_info offset)
    uint64_t call_file = 0;  // in the unit's line table
    uint64_t call_line = 0;
};

struct InlineChain {
    static constexpr int capacity = 16;
    int count = 0;
    InlinedCall calls[capacity];  // innermost first; the deepest calls are kept
    bool has_line_table = false;
    uint64_t line_table = 0;  // the unit's table in .debug_line
};

// Finds the routine whose code holds the link-time address and the calls
// inlined into it there. False when no routine's entry covers the address;
// a chain with no calls when nothing is inlined at it.
bool find_inlined_calls(const DwarfInfoSections& sections, uint64_t address, InlineChain& chain);

}  // namespace vkrt
