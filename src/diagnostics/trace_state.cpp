// Load placement comes from the platform layer: where the program's
// link-time addresses lie at run time and the ranges of its code. The tables
// are read from the file the process was started from.
#include "diagnostics/trace_state.hpp"

#include "diagnostics/stack_walk.hpp"
#include "platform/process.hpp"

namespace vkrt {

namespace {

struct Placement {
    bool attempted = false;  // creation is tried once, never again
    bool created = false;
    os::ProgramPlacement program;
};

Placement placement;

struct Tables {
    bool tried = false;
    bool usable = false;
    ProgramFile file;
    // Stands when a trace is taken while an earlier one is still reading.
    TraceFailure failure = {TraceFailureKind::facility_error, 0, "the program file is being read"};
};

Tables tables;

// The unwinder sets up a table once, on its first use. A signal handler whose
// walk met that set-up half done would wait for it for ever, so the first
// walk outside a handler runs with every signal blocked.
void prepare_stack_walk_without_signals() { os::run_with_signals_blocked(prepare_stack_walk); }

}  // namespace

bool trace_state_ready() {
    // Created by the first trace outside a signal handler, and not tried again
    // after a failure: a signal handler must never reach the loader, which
    // takes its lock.
    if (!placement.attempted) {
        placement.attempted = true;
        if (!os::find_program_placement(placement.program)) return false;
        prepare_stack_walk_without_signals();
        placement.created = true;
    }
    return placement.created;
}

bool program_link_address(uintptr_t address, uint64_t& link_address) {
    const os::ProgramPlacement& program = placement.program;
    for (int i = 0; i < program.code_count; ++i) {
        if (address >= program.code[i].begin && address < program.code[i].end) {
            link_address = address - program.load_base + tables.file.link_base;
            return true;
        }
    }
    return false;
}

const ProgramFile* program_tables(TraceFailure& failure) {
    if (!tables.tried) {
        tables.tried = true;
        const char* path = os::program_file_path();
        tables.usable = path != nullptr && read_program_file(path, tables.file, tables.failure);
        if (path == nullptr) tables.failure = {TraceFailureKind::facility_error, 0, "the program file cannot be found"};
    }
    failure = tables.failure;
    return tables.usable ? &tables.file : nullptr;
}

}  // namespace vkrt
