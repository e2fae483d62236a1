// Call-stack traces. The full form names each frame from the program's
// symbol table (demangled) and gives its source file and line from the line
// tables; where routines were inlined at the frame's address, each of them
// is a frame of its own at that address, innermost first, with its own
// line, and the routine it was inlined into follows with the line of the
// call, so that no name is paired with another routine's line. Frames of
// the run-time support, whose names begin with "vkrt::", are left out, and
// the walk ends after "main". The address-only form, used
// from the signal handler and whenever the tables cannot be read, numbers
// every frame up to the outermost and looks nothing up.
#include "diagnostics/backtrace.hpp"

#include <cstdlib>
#include <cstring>
#include <cxxabi.h>

#include "diagnostics/dwarf_inlines.hpp"
#include "diagnostics/dwarf_names.hpp"
#include "diagnostics/symbols.hpp"
#include "diagnostics/stack_walk.hpp"
#include "diagnostics/trace_lines.hpp"
#include "diagnostics/trace_state.hpp"

namespace vkrt {

namespace {

constexpr char runtime_support_prefix[] = "vkrt::";

// A symbol's demangled name, or the symbol itself when it is not a mangled
// C++ name.
class DisplayName {
public:
    explicit DisplayName(const char* symbol) : symbol_(symbol) {
        if (symbol != nullptr && std::strncmp(symbol, "_Z", 2) == 0) {
            int status = 0;
            demangled_ = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
        }
    }
    ~DisplayName() { std::free(demangled_); }
    DisplayName(const DisplayName&) = delete;
    DisplayName& operator=(const DisplayName&) = delete;

    const char* text() const { return demangled_ != nullptr ? demangled_ : symbol_; }

private:
    const char* symbol_;
    char* demangled_ = nullptr;
};

bool is_runtime_support(const char* name) {
    if (name == nullptr) return false;
    while (*name == '_') ++name;
    return std::strncmp(name, runtime_support_prefix, sizeof runtime_support_prefix - 1) == 0;
}

struct FullWalk {
    const ProgramFile* file;
    int next_number = 0;
    bool main_written = false;
};

// One frame line, and its location line when anything of it is known.
void write_named_frame(FullWalk& walk, uintptr_t address, const char* name, const SourceLine& where) {
    write_frame_line(walk.next_number++, address, name);
    if (where.file != nullptr || where.line != 0) write_location_line(where);
    if (name != nullptr && std::strcmp(name, "main") == 0) walk.main_written = true;
}

// Where an inlined call stands in the routine it was inlined into.
SourceLine call_site(const ProgramFile& file, const InlineChain& chain, const InlinedCall& call) {
    SourceLine site;
    if (chain.has_line_table) find_source_file(file.lines, chain.line_table, call.call_file, site);
    site.line = call.call_line <= INT32_MAX ? static_cast<int>(call.call_line) : 0;
    return site;
}

// The frames of the routines inlined at the address, innermost first, each
// with its own line; `where` enters as the line of the address and leaves
// as the place of the outermost call, in the routine that holds the code.
// Inlined run-time support routines are left out like their frames.
void write_inlined_frames(FullWalk& walk, uintptr_t address, uint64_t link, SourceLine& where) {
    const ProgramFile& file = *walk.file;
    InlineChain chain;
    if (file.info.info.size == 0 || !find_inlined_calls(file.info, link, chain)) return;
    for (int i = 0; i < chain.count; ++i) {
        RoutineName routine;
        const bool named = routine_name(file.info, chain.calls[i].entry, routine);
        const DisplayName name(routine.linkage_name != nullptr ? routine.linkage_name
                               : named                         ? routine.text
                                                               : nullptr);
        if (!is_runtime_support(name.text())) write_named_frame(walk, address, name.text(), where);
        where = call_site(file, chain, chain.calls[i]);
    }
}

// A frame of the walk: its inlined routines, then the routine that holds
// the code, named from the symbol table. The frames of the run-time support
// are left out with whatever was inlined into them.
bool write_full_frame(uintptr_t address, void* context) {
    FullWalk& walk = *static_cast<FullWalk*>(context);
    uint64_t link = 0;
    const bool in_program = program_link_address(address, link);
    const DisplayName name(in_program ? function_symbol(*walk.file, link) : nullptr);
    if (is_runtime_support(name.text())) return true;

    SourceLine where;
    if (!in_program || !find_source_line(walk.file->lines, link, where)) where = SourceLine{};
    if (in_program) write_inlined_frames(walk, address, link, where);
    write_named_frame(walk, address, name.text(), where);
    return !walk.main_written;
}

bool write_address_frame(uintptr_t address, void* context) {
    write_address_line((*static_cast<int*>(context))++, address);
    return true;
}

void write_walk_failure(WalkEnd end, bool in_signal_handler) {
    if (end == WalkEnd::failed) {
        write_trace_failure({TraceFailureKind::facility_error, 0, "the stack walk failed"},
                            in_signal_handler);
    }
}

}  // namespace

// The walks start with this routine's own frame, at its call to the walker.
// The address-only walk of a signal handler uses no trace state; the state is
// created by the first trace outside one.
__attribute__((noinline)) void write_backtrace(bool in_signal_handler) {
    if (!in_signal_handler && !trace_state_ready()) return;
    TraceFailure failure;
    FullWalk walk{in_signal_handler ? nullptr : program_tables(failure)};
    if (!in_signal_handler && walk.file == nullptr) {
        write_trace_failure(failure, false);
    }
    int number = 0;
    const WalkEnd end = walk.file != nullptr ? walk_stack(write_full_frame, &walk)
                                             : walk_stack(write_address_frame, &number);
    write_walk_failure(end, in_signal_handler);
}

}  // namespace vkrt
