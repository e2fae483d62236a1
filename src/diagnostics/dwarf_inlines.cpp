// A walk over the entries of the unit whose code holds the address: entries
// with code that does not hold it are passed over with their children;
// namespaces and classes, which hold routines but no code of their own, are
// entered. Inside the routine found, each inlined_subroutine that holds the
// address is one call deeper; the walk ends with the routine's children.
#include "diagnostics/dwarf_inlines.hpp"

namespace vkrt {

namespace {

bool is_scope(uint64_t tag) {
    return tag == DW_TAG_namespace || tag == DW_TAG_class_type || tag == DW_TAG_structure_type ||
           tag == DW_TAG_union_type;
}

bool is_code(uint64_t tag) {
    return tag == DW_TAG_subprogram || tag == DW_TAG_inlined_subroutine || tag == DW_TAG_lexical_block;
}

// Records a call, outermost first; past the capacity the outer calls give
// way, so that the innermost ones, nearest the address, are kept.
void add_call(InlineChain& chain, const DwarfEntry& entry) {
    if (chain.count == InlineChain::capacity) {
        for (int i = 1; i < chain.count; ++i) chain.calls[i - 1] = chain.calls[i];
        --chain.count;
    }
    chain.calls[chain.count++] = InlinedCall{entry.offset, entry.call_file, entry.call_line};
}

void innermost_first(InlineChain& chain) {
    for (int i = 0, j = chain.count - 1; i < j; ++i, --j) {
        const InlinedCall outer = chain.calls[i];
        chain.calls[i] = chain.calls[j];
        chain.calls[j] = outer;
    }
}

// Walks the unit's entries; true once the routine holding the address is
// found and its children have been seen.
bool walk_unit(const DwarfUnit& unit, uint64_t address, InlineChain& chain) {
    if (!unit.root.has_children) return false;
    uint64_t at = unit.root.next;
    int routine_depth = 0;  // 0 until the routine is found
    for (int depth = 1; depth > 0;) {
        DwarfEntry entry;
        if (!read_entry(unit, at, entry)) return routine_depth > 0;
        if (entry.tag == 0) {
            --depth;
            at = entry.next;
            if (routine_depth > 0 && depth <= routine_depth) return true;
            continue;
        }
        bool has_code = false;
        const bool covers = entry_covers(unit, entry, address, has_code);
        if (is_code(entry.tag) && covers) {
            if (entry.tag == DW_TAG_subprogram) {
                routine_depth = depth;
                chain.count = 0;
            } else if (entry.tag == DW_TAG_inlined_subroutine && routine_depth > 0) {
                add_call(chain, entry);
            }
            if (!entry.has_children && entry.tag == DW_TAG_subprogram) return true;
        } else if (!is_scope(entry.tag)) {
            at = after_children(unit, entry);
            continue;
        }
        at = entry.next;
        if (entry.has_children) ++depth;
    }
    return routine_depth > 0;
}

}  // namespace

bool find_inlined_calls(const DwarfInfoSections& sections, uint64_t address, InlineChain& chain) {
    DwarfUnit unit;
    uint64_t at = 0;
    for (;;) {
        uint64_t next = 0;
        const UnitRead read = read_unit(sections, at, unit, next);
        if (read == UnitRead::end_of_units) return false;
        at = next;
        bool has_code = false;
        if (read != UnitRead::usable || !entry_covers(unit, unit.root, address, has_code)) continue;
        chain = InlineChain{};
        if (!walk_unit(unit, address, chain)) continue;
        chain.has_line_table = unit.root.has_stmt_list;
        chain.line_table = unit.root.stmt_list;
        innermost_first(chain);
        return true;
    }
}

}  // namespace vkrt
