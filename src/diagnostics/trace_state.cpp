// Load placement comes from dl_iterate_phdr, whose first object is the
// program itself: its load bias (0 for a fixed-address program) and the
// address ranges of its loadable segments. The tables are read from
// /proc/self/exe, the file the process was started from.
#include "diagnostics/trace_state.hpp"

#include <csignal>
#include <link.h>

#include "diagnostics/stack_walk.hpp"

namespace vkrt {

namespace {

struct Segment {
    uintptr_t begin;
    uintptr_t end;
};

struct Placement {
    bool attempted = false;  // creation is tried once, never again
    bool created = false;
    uintptr_t bias = 0;
    Segment segments[16] = {};
    int segment_count = 0;
};

Placement placement;

int record_program(dl_phdr_info* info, size_t, void*) {
    placement.bias = info->dlpi_addr;
    for (int i = 0; i < info->dlpi_phnum && placement.segment_count < 16; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || !(header.p_flags & PF_X)) continue;
        const uintptr_t begin = info->dlpi_addr + header.p_vaddr;
        placement.segments[placement.segment_count++] = {begin, begin + header.p_memsz};
    }
    return 1;  // the first object is the program: stop
}

struct Tables {
    bool tried = false;
    bool usable = false;
    ProgramFile file;
    // Stands when a trace is taken while an earlier one is still reading.
    TraceFailure failure = {0, "the program file is being read"};
};

Tables tables;

// The unwinder sets up a table once, on its first use. A signal handler whose
// walk met that set-up half done would wait for it for ever, so the first
// walk outside a handler runs with every signal blocked.
void prepare_stack_walk_without_signals() {
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous);
    prepare_stack_walk();
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace

bool trace_state_ready() {
    // Created by the first trace outside a signal handler, and not tried again
    // after a failure.
    if (!placement.attempted) {
        placement.attempted = true;
        dl_iterate_phdr(record_program, nullptr);
        if (placement.segment_count == 0) return false;
        prepare_stack_walk_without_signals();
        placement.created = true;
    }
    return placement.created;
}

bool program_link_address(uintptr_t address, uint64_t& link_address) {
    for (int i = 0; i < placement.segment_count; ++i) {
        const Segment& segment = placement.segments[i];
        if (address >= segment.begin && address < segment.end) {
            link_address = address - placement.bias;
            return true;
        }
    }
    return false;
}

const ProgramFile* program_tables(TraceFailure& failure) {
    if (!tables.tried) {
        tables.tried = true;
        tables.usable = read_program_file("/proc/self/exe", tables.file, tables.failure);
    }
    failure = tables.failure;
    return tables.usable ? &tables.file : nullptr;
}

}  // namespace vkrt
