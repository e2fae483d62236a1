// Formatted write statements under a format of one repeated G descriptor,
// such as "(g25.16)" or "(3g25.16)", with format reversion and CR LF after
// every record.
#pragma once

#include "diagnostics/locus.hpp"

namespace vkrt {

void write_formatted(const Locus& where, const char* format, const long double* values,
                     int count);

}  // namespace vkrt
