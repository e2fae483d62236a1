// Conversion of an extended real to a 32-bit integer by truncation toward
// zero, as the processor does it: NaNs and values out of range give the
// integer-indefinite value -2147483648 and raise the invalid-operation flag.
// FISTTP truncates whatever the rounding control says, so the control word
// is never switched back and forth.
#pragma once

#include <cstdint>

namespace ephemeris {

inline int32_t truncate_to_int32(long double x) {
    int32_t result;
    asm("fisttpl %0" : "=m"(result) : "t"(x) : "st");
    return result;
}

}  // namespace ephemeris
