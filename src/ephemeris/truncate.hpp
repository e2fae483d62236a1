// Conversion of an extended real to a 32-bit integer by truncation toward
// zero, defined for every value: NaNs and values out of range give the
// processor's integer-indefinite value, -2147483648.
#pragma once

#include <cstdint>

namespace ephemeris {

inline int32_t truncate_to_int32(long double x) {
    if (!(x > -2147483649.0L && x < 2147483648.0L)) return INT32_MIN;
    return static_cast<int32_t>(x);
}

}  // namespace ephemeris
