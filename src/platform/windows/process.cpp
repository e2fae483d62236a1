// Process services on Windows. The C run-time's signal() knows SIGINT,
// SIGILL, SIGFPE, SIGSEGV, SIGTERM, SIGBREAK and SIGABRT and refuses the
// others. Its start-up code turns an access violation into SIGSEGV, an
// illegal or privileged instruction into SIGILL and an integer division by
// zero into SIGFPE for an installed handler, resetting the handler to the
// default first; raising a signal whose action is the default ends the
// process with status 3.
#include "platform/process.hpp"

#include <csignal>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace vkrt::os {

void use_binary_standard_streams() {
    ::_setmode(1, _O_BINARY);
    ::_setmode(2, _O_BINARY);
}

void use_binary_standard_input() { ::_setmode(0, _O_BINARY); }

// The run-time puts the default action back before it calls the handler, so
// a second signal during the report meets the default action and ends the
// process at once.
void open_closed_standard_streams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::_get_osfhandle(fd) != -1) continue;
        const int null = ::_open("NUL", _O_RDWR | _O_BINARY);
        if (null >= 0 && null != fd) {
            ::_dup2(null, fd);
            ::_close(null);
        }
    }
}

bool install_signal_handler(int number, SignalHandler handler) {
    return std::signal(number, handler) != SIG_ERR;
}

// The natural equivalent of an alternate stack: room kept at the end of the
// thread's stack for the handling of a stack overflow, so that it can still
// be reported (64 KiB, as the alternate stack on Linux).
void use_alternate_signal_stack() {
    ULONG guarantee = 64 * 1024;
    ::SetThreadStackGuarantee(&guarantee);
}

// Console interruptions arrive on a thread of their own and faults are taken
// where they happen: nothing can be held back, the action simply runs.
void run_with_signals_blocked(void (*action)()) { action(); }

bool ignore_signal(int number) { return std::signal(number, SIG_IGN) != SIG_ERR; }

void raise_with_default_action(int number) {
    std::signal(number, SIG_DFL);
    std::raise(number);
}

bool find_program_placement(ProgramPlacement& placement) {
    placement = ProgramPlacement{};
    const auto* base = reinterpret_cast<const uint8_t*>(::GetModuleHandleW(nullptr));
    if (base == nullptr) return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
    placement.load_base = reinterpret_cast<uintptr_t>(base);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections && placement.code_count < 16; ++i) {
        if (!(section[i].Characteristics & IMAGE_SCN_MEM_EXECUTE)) continue;
        const uintptr_t begin = placement.load_base + section[i].VirtualAddress;
        placement.code[placement.code_count++] = {begin, begin + section[i].Misc.VirtualSize};
    }
    return placement.code_count > 0;
}

const char* program_file_path() {
    static char path[MAX_PATH * 4];
    static bool found = false;
    if (!found) {
        wchar_t wide[MAX_PATH * 2];
        const DWORD n = ::GetModuleFileNameW(nullptr, wide, MAX_PATH * 2);
        if (n == 0 || n >= MAX_PATH * 2) return nullptr;
        if (::WideCharToMultiByte(CP_UTF8, 0, wide, -1, path, sizeof path, nullptr, nullptr) == 0) {
            return nullptr;
        }
        found = true;
    }
    return path;
}

}  // namespace vkrt::os
