// Call-stack traces. The full form names each frame from the program's
// symbol table (demangled) and gives its source file and line from the line
// tables; frames of the run-time support, whose names begin with "vkrt::",
// are left out, and the walk ends after "main". The address-only form, used
// from the signal handler and whenever the tables cannot be read, numbers
// every frame up to the outermost and looks nothing up.
#include "diagnostics/backtrace.hpp"

#include <cstdlib>
#include <cstring>
#include <cxxabi.h>

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
};

bool write_full_frame(uintptr_t address, void* context) {
    FullWalk& walk = *static_cast<FullWalk*>(context);
    uint64_t link = 0;
    const bool in_program = program_link_address(address, link);
    const DisplayName name(in_program ? function_symbol(*walk.file, link) : nullptr);
    if (is_runtime_support(name.text())) return true;

    write_frame_line(walk.next_number++, address, name.text());
    SourceLine where;
    if (in_program && find_source_line(walk.file->lines, link, where) &&
        (where.file != nullptr || where.line != 0)) {
        write_location_line(where);
    }
    return name.text() == nullptr || std::strcmp(name.text(), "main") != 0;
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
