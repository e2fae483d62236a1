#include "diagnostics/fpe_note.hpp"

#include <cstdint>

#include "diagnostics/options.hpp"
#include "diagnostics/stderr_write.hpp"

namespace vkrt {

unsigned raised_fpe_flags() {
    uint16_t x87_status = 0;
    uint32_t mxcsr = 0;
    __asm__ volatile("fnstsw %0" : "=m"(x87_status));
    __asm__ volatile("stmxcsr %0" : "=m"(mxcsr));
    return (x87_status | mxcsr) & 0x3Fu;
}

namespace {

struct FlagName {
    unsigned bit;
    const char* name;
};

// The order in which the note names the flags.
constexpr FlagName flag_names[] = {
    {1, "IEEE_INVALID_FLAG"},   {4, "IEEE_DIVIDE_BY_ZERO"}, {8, "IEEE_OVERFLOW_FLAG"},
    {16, "IEEE_UNDERFLOW_FLAG"}, {2, "IEEE_DENORMAL"},       {32, "IEEE_INEXACT_FLAG"},
};

}  // namespace

void write_fpe_note() {
    const unsigned mask = static_cast<unsigned>(compile_options.fpe_summary);
    if (mask == 0) return;
    const unsigned shown = raised_fpe_flags() & mask;
    if (shown == 0) return;
    if (!write_stderr("Note: The following floating-point exceptions are signalling:")) return;
    for (const FlagName& flag : flag_names) {
        if ((shown & flag.bit) == 0) continue;
        if (!write_stderr(" ") || !write_stderr(flag.name)) return;
    }
    write_stderr("\n");
}

}  // namespace vkrt
