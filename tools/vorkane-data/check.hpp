// The check command: is a file a well-formed data file of the program?
#pragma once

#include <cstdio>
#include <string>

namespace vkdata {

// Reports on `out` the file's length, the records present (those not all
// zero), the dates they cover and every problem: a length other than 12556
// whole records, a present record whose dates are not its place on the
// 32-day grid, a coefficient that is not a finite number. Returns true when
// there is no problem. Throws DataError when the file cannot be read.
bool check_data_file(const std::string& file, std::FILE* out);

}  // namespace vkdata
