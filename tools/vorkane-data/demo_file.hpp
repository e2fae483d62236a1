// The demo command: a run directory with a data file fitted from the
// approximate analytic model (not DE440) and a date to run it on.
#pragma once

#include <array>
#include <string>

#include "vorkane-data/data_layout.hpp"

namespace vkdata {

// Record n (1 to 12556) of the approximate data file: the dates, then the
// 11 bodies' series fitted to the model (the Sun at the origin), values
// 819 to 1138 zero.
std::array<double, values_per_record> demo_record(int n);

// Writes DIR/15502650.440 (all 12556 records, by temporary file and
// rename) and DIR/vorkane.in with 2451545.0; creates DIR when missing.
// Throws DataError, also when DIR already holds either file.
void make_demo_directory(const std::string& dir, bool show_progress);

}  // namespace vkdata
