// The process services that differ between platforms: the standard streams'
// mode, signal handlers, and where the program's own code and file are.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkrt::os {

// Standard output and standard error in binary mode: no carriage return is
// added before a line feed. Nothing to do where streams have no mode.
void use_binary_standard_streams();

// Standard input in binary mode likewise: no carriage return is dropped.
void use_binary_standard_input();

// Opens each closed standard stream on the null device, so that no file
// opened later takes its descriptor and receives what is written to it.
void open_closed_standard_streams();

using SignalHandler = void (*)(int);

// Gives signal handlers a stack of their own (a static region), so that a
// stack overflow can still be reported. Nothing to do where handlers of a
// fault do not run on the faulting thread's stack.
void use_alternate_signal_stack();

// Calls `action` with every signal that can be blocked held back until it
// returns; where signals cannot be blocked, simply calls it.
void run_with_signals_blocked(void (*action)());

// Installs `handler` for the signal; the handler stays installed while it
// runs, and the same signal arriving then enters it again. It runs on the
// alternate signal stack once there is one. False when the
// platform refuses (the signal does not exist there, or cannot be caught).
bool install_signal_handler(int number, SignalHandler handler);

// The signal ignored from now on; false when the platform refuses.
bool ignore_signal(int number);

// Restores the default action for the signal, lets it through and raises it,
// so that the process ends as the platform ends it for that signal.
void raise_with_default_action(int number);

// The program's executable code as loaded. A run-time address a lies at the
// link-time address a - load_base + link_base, where link_base is the
// program file's own (ProgramFile::link_base): on Linux load_base is the
// load bias and link_base 0; on Windows load_base is the image's actual base
// and link_base its preferred one.
struct CodeRange {
    uintptr_t begin = 0;
    uintptr_t end = 0;
};
struct ProgramPlacement {
    uintptr_t load_base = 0;
    CodeRange code[16];
    int code_count = 0;
};

// Fills in the placement of the running program; false when it cannot be
// found. Takes the loader's lock: never from a signal handler.
bool find_program_placement(ProgramPlacement& placement);

// The path of the file the running program was started from (UTF-8), or
// nullptr when the platform cannot tell.
const char* program_file_path();

}  // namespace vkrt::os
