// The name of an inlined routine, spelled as a trace spells an out-of-line
// one: its linkage name, which the trace demangles like a symbol; or, for a
// routine that has none (a C++ routine of internal linkage: static, or in
// an anonymous namespace), the demangled spelling built from its scopes,
// name and parameter types: "ns::(anonymous namespace)::f(long double
// const&)"; or, for a C routine or main, the plain name. Allocation-free.
#pragma once

#include <cstddef>
#include <cstdint>

#include "diagnostics/dwarf_info.hpp"

namespace vkrt {

struct RoutineName {
    static constexpr size_t capacity = 512;
    const char* linkage_name = nullptr;  // mangled; text is then empty
    char text[capacity] = {};            // the spelling otherwise, cut to fit
};

// Names the routine of an inlined_subroutine or subprogram entry, following
// its abstract origin and the declaration it completes. False when no name
// is found.
bool routine_name(const DwarfInfoSections& sections, uint64_t entry, RoutineName& name);

}  // namespace vkrt
