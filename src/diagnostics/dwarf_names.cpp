// A routine's entry leads through DW_AT_abstract_origin and
// DW_AT_specification to the declaration that holds its name. A linkage
// name anywhere on that road is taken as it stands. Without one, the
// spelling of the demangler is rebuilt: the enclosing namespaces and
// classes (found by walking the unit from its start, since entries do not
// point to their parents), the name, and the parameter types, written the
// demangler's way ("char const*", "unsigned long"), typedefs resolved and a
// parameter's own const dropped as mangling drops them.
#include "diagnostics/dwarf_names.hpp"

#include <cstring>

namespace vkrt {

namespace {

class NameText {
public:
    explicit NameText(RoutineName& name) : out_(name.text) {}
    void add(const char* s) {
        while (s != nullptr && *s != '\0' && length_ < RoutineName::capacity - 1) out_[length_++] = *s++;
        out_[length_] = '\0';
    }

private:
    char* out_;
    size_t length_ = 0;
};

constexpr int deepest_scope = 32;
constexpr int deepest_type = 12;

bool is_cplusplus(uint64_t language) {
    // DW_LANG_C_plus_plus, _03, _11, _14
    return language == 0x04 || language == 0x19 || language == 0x1a || language == 0x21;
}

// The demangler's spelling of GCC's names for the built-in types.
const char* builtin_spelling(const char* name) {
    static const char* const spellings[][2] = {
        {"long int", "long"},
        {"long unsigned int", "unsigned long"},
        {"short int", "short"},
        {"short unsigned int", "unsigned short"},
        {"long long int", "long long"},
        {"long long unsigned int", "unsigned long long"},
        {"__int128 unsigned", "unsigned __int128"},
    };
    for (const auto& spelling : spellings) {
        if (std::strcmp(name, spelling[0]) == 0) return spelling[1];
    }
    return name;
}

// Types are referred to within their unit (GCC crosses units only with
// link-time optimization): a reference that leaves the unit is not read.
bool entry_at(const DwarfUnit& unit, uint64_t offset, DwarfEntry& entry) {
    return offset >= unit.first_entry && offset < unit.end && read_entry(unit, offset, entry);
}

// Writes "outer::inner::" for the namespaces and classes around the entry.
void add_scopes(const DwarfUnit& unit, uint64_t target, NameText& text) {
    struct Scope {
        uint64_t tag;
        const char* name;
    };
    Scope scopes[deepest_scope] = {};
    uint64_t at = unit.first_entry;
    int depth = 0;
    while (at < target) {
        DwarfEntry entry;
        if (!read_entry(unit, at, entry)) return;
        if (entry.tag == 0) {
            if (--depth < 0) return;
            at = entry.next;
        } else if (entry.has_children && entry.sibling > entry.offset && entry.sibling <= target) {
            at = entry.sibling;  // the target is not among its children
        } else {
            if (depth < deepest_scope) scopes[depth] = Scope{entry.tag, entry.name};
            at = entry.next;
            if (entry.has_children) ++depth;
        }
    }
    if (at != target) return;
    // Depth 0 is the unit itself.
    for (int i = 1; i < depth && i < deepest_scope; ++i) {
        const Scope& scope = scopes[i];
        if (scope.tag == DW_TAG_namespace) {
            text.add(scope.name != nullptr ? scope.name : "(anonymous namespace)");
        } else if (scope.tag == DW_TAG_class_type || scope.tag == DW_TAG_structure_type ||
                   scope.tag == DW_TAG_union_type) {
            text.add(scope.name);
        } else {
            continue;
        }
        text.add("::");
    }
}

void add_type(const DwarfUnit& unit, uint64_t offset, NameText& text, int depth);

// "(A, B)" from the parameter entries among the children of `routine`;
// true when the first one is the artificial `this` of a const member.
bool add_parameters(const DwarfUnit& unit, const DwarfEntry& routine, NameText& text, int depth) {
    text.add("(");
    bool const_member = false;
    bool first = true;
    uint64_t at = routine.has_children ? routine.next : 0;
    while (at != 0) {
        DwarfEntry child;
        if (!read_entry(unit, at, child) || child.tag == 0) break;
        at = after_children(unit, child);
        if (child.tag != DW_TAG_formal_parameter && child.tag != DW_TAG_unspecified_parameters) continue;
        if (child.artificial) {
            DwarfEntry pointer, pointee;
            const_member = entry_at(unit, child.type, pointer) && entry_at(unit, pointer.type, pointee) &&
                           pointee.tag == DW_TAG_const_type;
            continue;
        }
        if (!first) text.add(", ");
        first = false;
        if (child.tag == DW_TAG_unspecified_parameters) {
            text.add("...");
            continue;
        }
        // A parameter's own const or volatile is no part of the signature.
        uint64_t type = child.type;
        for (int i = 0; i < deepest_type; ++i) {
            DwarfEntry qualifier;
            if (!entry_at(unit, type, qualifier)) break;
            if (qualifier.tag != DW_TAG_const_type && qualifier.tag != DW_TAG_volatile_type) break;
            type = qualifier.type;
        }
        add_type(unit, type, text, depth + 1);
    }
    text.add(")");
    return const_member;
}

void add_type(const DwarfUnit& unit, uint64_t offset, NameText& text, int depth) {
    if (offset == 0) return text.add("void");
    DwarfEntry type;
    if (depth > deepest_type || !entry_at(unit, offset, type)) return text.add("?");
    switch (type.tag) {
    case DW_TAG_base_type: return text.add(type.name != nullptr ? builtin_spelling(type.name) : "?");
    case DW_TAG_unspecified_type: return text.add(type.name != nullptr ? type.name : "?");
    case DW_TAG_typedef: return add_type(unit, type.type, text, depth + 1);
    case DW_TAG_const_type: add_type(unit, type.type, text, depth + 1); return text.add(" const");
    case DW_TAG_volatile_type: add_type(unit, type.type, text, depth + 1); return text.add(" volatile");
    case DW_TAG_reference_type: add_type(unit, type.type, text, depth + 1); return text.add("&");
    case DW_TAG_rvalue_reference_type: add_type(unit, type.type, text, depth + 1); return text.add("&&");
    case DW_TAG_pointer_type: {
        DwarfEntry pointee;
        if (type.type != 0 && entry_at(unit, type.type, pointee) && pointee.tag == DW_TAG_subroutine_type) {
            add_type(unit, pointee.type, text, depth + 1);
            text.add(" (*)");
            add_parameters(unit, pointee, text, depth + 1);
            return;
        }
        add_type(unit, type.type, text, depth + 1);
        return text.add("*");
    }
    case DW_TAG_structure_type:
    case DW_TAG_class_type:
    case DW_TAG_union_type:
    case DW_TAG_enumeration_type:
        add_scopes(unit, type.offset, text);
        return text.add(type.name != nullptr ? type.name : "?");
    default: return text.add("?");
    }
}

// The road from a routine's entry to its declaration: the first entry with
// a name, and a linkage name if one stands anywhere on the road.
struct Road {
    const char* linkage_name = nullptr;
    bool external = false;
    bool found = false;
    DwarfEntry named;
};

void follow(DwarfUnit& unit, uint64_t offset, Road& road) {
    for (int hop = 0; hop < 8 && offset != 0; ++hop) {
        if (offset < unit.first_entry || offset >= unit.end) {
            // Another unit: the named entry must stay readable in `unit`.
            if (road.found || !unit_containing(*unit.sections, offset, unit)) return;
        }
        DwarfEntry entry;
        if (!read_entry(unit, offset, entry)) return;
        road.external = road.external || entry.external;
        if (entry.linkage_name != nullptr) {
            road.linkage_name = entry.linkage_name;
            return;
        }
        if (entry.name != nullptr && !road.found) {
            road.named = entry;
            road.found = true;
        }
        offset = entry.abstract_origin != 0 ? entry.abstract_origin : entry.declaration_entry;
    }
}

}  // namespace

bool routine_name(const DwarfInfoSections& sections, uint64_t entry, RoutineName& name) {
    name = RoutineName{};
    DwarfUnit unit;
    if (!unit_containing(sections, entry, unit)) return false;
    Road road;
    follow(unit, entry, road);
    if (road.linkage_name != nullptr) {
        name.linkage_name = road.linkage_name;
        return true;
    }
    if (!road.found) return false;
    NameText text(name);
    if (road.external || !is_cplusplus(unit.root.language)) {
        text.add(road.named.name);  // a C name, or main: spelled as its symbol
        return true;
    }
    add_scopes(unit, road.named.offset, text);
    text.add(road.named.name);
    if (add_parameters(unit, road.named, text, 0)) text.add(" const");
    return true;
}

}  // namespace vkrt
