// The free-form (list-directed) read of one extended real.
#pragma once

#include "diagnostics/locus.hpp"

namespace vkrt {

// Reads the first item of the unit where.unit into `destination`; a null
// value leaves it unchanged. Every failure ends the run with a run-time error
// report at `where`.
void read_real_list(const Locus& where, long double& destination);

}  // namespace vkrt
