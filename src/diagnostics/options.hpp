// Start-up settings of the run-time support: the seven values the main
// program fixes before its first statement.
#pragma once

#include <cstdint>

namespace vkrt {

struct StartupSettings {
    int32_t warn_std;      // classes of non-standard usage that draw a warning
    int32_t allow_std;     // classes of non-standard usage allowed
    int32_t pedantic;      // 0: no notice about non-standard usage
    int32_t backtrace;     // 1: traces after error reports, fatal-signal handler
    int32_t sign_zero;     // 1: a negative zero keeps its minus sign
    int32_t bounds_check;  // extra checks in the statement machinery
    int32_t fpe_summary;   // exception flags named in the note before a stop
};

// The two classes of allow_std that the output editor reads: the 2003 and
// 2008 revisions of the language, under whose rules a zero written with G
// editing takes the fixed form.
inline constexpr int32_t allow_std_f2003 = 1 << 4;
inline constexpr int32_t allow_std_f2008 = 1 << 7;

// Until set_startup_settings runs, backtrace, fpe_summary and pedantic are 0.
extern StartupSettings compile_options;

// Replaces the defaults with the program's values. Installs nothing: the
// start-up sequence installs the fatal-signal handler itself.
void set_startup_settings(const StartupSettings& settings);

}  // namespace vkrt
