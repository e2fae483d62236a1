// The program's entry point in the static Linux link: it has the kernel map,
// in one request each, the pages of data that every run writes, then jumps to
// the C run-time's own entry point, _start, with the registers and the stack
// as the kernel left them.
//
// Each first write to a page otherwise costs a page fault, and on the
// machines the program runs on a fault costs about as much as five system
// calls; a request over several pages costs one system call plus about half
// a fault per page. Two ranges are asked for, both known at link time:
//   - the last of the initialised data: the run-time's start-up writes the
//     page before the GOT (its tunables, the random bytes, the argument
//     vector), the GOT (the resolved string functions) and the initialised
//     data after it (the allocator's state, the unit table);
//   - the record with its polynomial values, which the state routine writes
//     whole (cmake/run_data.ld places it and names its ends).
// A page asked for but never written would cost more than its fault saves,
// so nothing beyond these is asked for. A kernel without the request (before
// Linux 5.14) refuses it and the pages fault as before; the request never
// changes what a run does.
//
// Nothing here may use the C library, thread-local data or the stack
// protector: none of them is set up yet.
#include <cstdint>

extern "C" {

// From the linker: the start of the GOT, the end of the initialised data,
// and the ends of the record's part of the run data (cmake/run_data.ld).
extern const char vorkane_got_begin[];
extern const char _edata[];
extern const char vorkane_run_record_begin[];
extern const char vorkane_run_record_end[];

}

namespace {

constexpr uintptr_t page = 4096;
constexpr long madvise_call = 28;         // the x86-64 system call number
constexpr long populate_for_writing = 23;  // MADV_POPULATE_WRITE

uintptr_t page_start(const void* address) {
    return reinterpret_cast<uintptr_t>(address) & ~(page - 1);
}

uintptr_t page_end(const void* address) {
    return (reinterpret_cast<uintptr_t>(address) + page - 1) & ~(page - 1);
}

// madvise(2) without the C library; the result is of no interest.
[[gnu::no_stack_protector]] void populate(uintptr_t begin, uintptr_t end) {
    if (end <= begin) return;
    long result;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(madvise_call), "D"(begin), "S"(end - begin), "d"(populate_for_writing)
                 : "rcx", "r11", "memory");
    (void)result;
}

}  // namespace

extern "C" [[gnu::no_stack_protector, gnu::used]] void vorkane_populate_run_pages() {
    populate(page_start(vorkane_got_begin) - page, page_end(_edata));
    populate(page_start(vorkane_run_record_begin), page_end(vorkane_run_record_end));
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
