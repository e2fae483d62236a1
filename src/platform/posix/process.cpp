// Process services on Linux: sigaction(2), and the loader's list of objects
// (dl_iterate_phdr), whose first entry is the program itself.
#include "platform/process.hpp"

#include <csignal>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

namespace vkrt::os {

void use_binary_standard_streams() {}

void use_binary_standard_input() {}

void open_closed_standard_streams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0) continue;
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

bool install_signal_handler(int number, SignalHandler handler) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Not deferred: the same signal arriving while the handler runs is taken
    // at once; on the alternate stack, when one is set up.
    action.sa_flags = SA_NODEFER | SA_ONSTACK;
    return sigaction(number, &action, nullptr) == 0;
}

// A static region, so nothing is allocated and its pages cost nothing until
// a signal comes. 64 KiB hold the kernel's signal frame, the line buffer and
// the unwinder's walk with a wide margin.
void use_alternate_signal_stack() {
    alignas(16) static char region[64 * 1024];
    stack_t stack = {};
    stack.ss_sp = region;
    stack.ss_size = sizeof region;
    sigaltstack(&stack, nullptr);  // without it handlers run on the thread's stack
}

void run_with_signals_blocked(void (*action)()) {
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous);
    action();
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

bool ignore_signal(int number) {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    return sigaction(number, &ignore, nullptr) == 0;
}

// Restoring first matters: raised with the handler still in place, a second
// signal would re-enter it without end.
void raise_with_default_action(int number) {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, number);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(number);
}

namespace {

int record_program(dl_phdr_info* info, size_t, void* argument) {
    ProgramPlacement& placement = *static_cast<ProgramPlacement*>(argument);
    placement.load_base = info->dlpi_addr;  // link-time addresses are absolute
    for (int i = 0; i < info->dlpi_phnum && placement.code_count < 16; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || !(header.p_flags & PF_X)) continue;
        const uintptr_t begin = info->dlpi_addr + header.p_vaddr;
        placement.code[placement.code_count++] = {begin, begin + header.p_memsz};
    }
    return 1;  // the first object is the program: stop
}

}  // namespace

bool find_program_placement(ProgramPlacement& placement) {
    placement = ProgramPlacement{};
    dl_iterate_phdr(record_program, &placement);
    return placement.code_count > 0;
}

const char* program_file_path() { return "/proc/self/exe"; }

}  // namespace vkrt::os
