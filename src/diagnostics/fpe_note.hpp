// The exception summary note written before a stop text.
#pragma once

namespace vkrt {

// Sticky exception flags raised so far: x87 status word OR MXCSR, bits 0-5
// (1 invalid, 2 denormal, 4 divide by zero, 8 overflow, 16 underflow,
// 32 inexact). The flags are left as they are.
unsigned raised_fpe_flags();

// Writes the note naming the raised flags that are in fpe_summary, or
// nothing when none is.
void write_fpe_note();

}  // namespace vkrt
