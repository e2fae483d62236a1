// The choice of the record that covers a date, shared by the program's record
// cache and the library's handles: the range test, the record number and the
// bracket test of a record just read.
#pragma once

#include <cstdint>

#include "ephemeris/constants.hpp"
#include "ephemeris/truncate.hpp"

namespace ephemeris {

// Both tests are ordered comparisons: tmin and tmax pass, infinities fail, a
// NaN passes.
inline bool outside_range(const long double& date) { return date > tmax || date < tmin; }

// nr = (date - tmin) / 32 + 1, truncated; exact for every date in range, so
// nr = floor((date - tmin) / 32) + 1. A NaN gives -2147483648.
inline int32_t record_number(const long double& date) {
    const long double nr = (date - tmin) / record_span + one;
    return truncate_to_int32(nr);
}

// True when record[1] (start date) and record[2] (end date) bracket the date.
inline bool brackets(const double* record, const long double& date) {
    return !(date < record[1] || date > record[2]);
}

}  // namespace ephemeris
