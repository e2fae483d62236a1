// The shared DE440 excerpts turned into a data file in the program's layout
// by the data tool's conversion: every data record at its place on the
// 32-day grid, values 1019 to 1138 zero, the file 12556 records long (sparse).
#pragma once

#include <string>

namespace testing_support {

// Writes the file at `path` from both excerpt files; false when the shared
// data folder is absent.
bool write_data_file_from_excerpts(const std::string& path);

}  // namespace testing_support
