// The program's entry point in the static Linux link: it has the kernel map,
// in one request each, the pages that every run uses, then jumps to the C
// run-time's own entry point, _start, with the registers and the stack as the
// kernel left them.
//
// Each page a run touches first otherwise costs it a page fault, and on the
// machines the program runs on a fault costs about as much as five system
// calls, while a request maps many pages for little more than one. Three
// ranges are asked for, all known at link time:
//   - for reading, the program file's code and constants, from its first
//     byte up to the data below: a run executes code spread over all of it
//     (the run-time's start-up alone touches every 64 KiB of the code);
//   - for writing, the last of the initialised data: the run-time's start-up
//     writes the page before the GOT (its tunables, the random bytes, the
//     argument vector), the GOT (the resolved string functions) and the
//     initialised data after it (the allocator's state, the unit table);
//   - for writing, the record with its polynomial values, which the state
//     routine writes whole (cmake/run_data.ld places it and names its ends).
// A page asked for writing but never written would cost more than its fault
// saves, so nothing else is asked for writing. A kernel without these
// requests (before Linux 5.14) refuses them and the pages fault as before;
// they never change what a run does.
//
// Nothing here may use the C library, thread-local data or the stack
// protector: none of them is set up yet.
#include <cstdint>

extern "C" {

// From the linker: the program's first byte, the start of the GOT, the end
// of the initialised data, and the ends of the record's part of the run data
// (cmake/run_data.ld).
extern const char __executable_start[];
extern const char vorkane_got_begin[];
extern const char _edata[];
extern const char vorkane_run_record_begin[];
extern const char vorkane_run_record_end[];

}

namespace {

constexpr uintptr_t page = 4096;
constexpr long madvise_call = 28;  // the x86-64 system call number
constexpr long populate_for_reading = 22;  // MADV_POPULATE_READ
constexpr long populate_for_writing = 23;  // MADV_POPULATE_WRITE

uintptr_t page_start(const void* address) {
    return reinterpret_cast<uintptr_t>(address) & ~(page - 1);
}

uintptr_t page_end(const void* address) {
    return (reinterpret_cast<uintptr_t>(address) + page - 1) & ~(page - 1);
}

// madvise(2) without the C library; the result is of no interest.
[[gnu::no_stack_protector]] void populate(uintptr_t begin, uintptr_t end, long how) {
    if (end <= begin) return;
    long result;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(madvise_call), "D"(begin), "S"(end - begin), "d"(how)
                 : "rcx", "r11", "memory");
    (void)result;
}

}  // namespace

extern "C" [[gnu::no_stack_protector, gnu::used]] void vorkane_populate_run_pages() {
    const uintptr_t written_data = page_start(vorkane_got_begin) - page;
    populate(page_start(__executable_start), written_data, populate_for_reading);
    populate(written_data, page_end(_edata), populate_for_writing);
    populate(page_start(vorkane_run_record_begin), page_end(vorkane_run_record_end),
             populate_for_writing);
}

// The entry point: %rdx holds the function the kernel leaves for the exit
// path (none, for a static program) and %rsp the argument block, both of
// which _start reads. %rsp is 16-byte aligned here, as a call expects.
asm(R"(
    .text
    .globl vorkane_entry
    .type vorkane_entry, @function
vorkane_entry:
    mov %rdx, %r12
    call vorkane_populate_run_pages
    mov %r12, %rdx
    jmp _start
    .size vorkane_entry, . - vorkane_entry
)");
