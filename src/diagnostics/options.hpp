// Start-up settings of the run-time support: the seven option values the
// main program fixes before its first statement.
#pragma once

#include <cstdint>

namespace vkrt {

struct CompileOptions {
    int32_t warn_std;
    int32_t allow_std;
    int32_t pedantic;
    int32_t backtrace;
    int32_t sign_zero;
    int32_t bounds_check;
    int32_t fpe_summary;
};

// Until set_options runs, backtrace, fpe_summary and pedantic are 0.
extern CompileOptions compile_options;

// Replaces the defaults with the program's seven values and, when backtrace
// is not 0, installs the fatal-signal handler.
void set_options(const int32_t (&values)[7]);

}  // namespace vkrt
