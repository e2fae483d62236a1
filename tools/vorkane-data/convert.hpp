// The convert command: published DE files (binary, or an ASCII header
// followed by ASCII data files) into one data file in the program's layout.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vkdata {

struct ConvertResult {
    int present = 0;                          // records written
    std::vector<std::pair<int, int>> runs;    // runs of present records
};

// Converts `inputs`, in order, into `output`. Throws DataError, leaving
// `output` as it was, on any bad input. Progress goes to standard error
// when `show_progress`.
ConvertResult convert_de_files(const std::vector<std::string>& inputs, const std::string& output,
                               bool show_progress);

}  // namespace vkdata
