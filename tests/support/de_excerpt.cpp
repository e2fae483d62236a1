#include "support/de_excerpt.hpp"

#include "support/run_program.hpp"
#include "vorkane-data/convert.hpp"

namespace testing_support {

bool write_data_file_from_excerpts(const std::string& path) {
    const std::string shared = shared_data_dir();
    if (shared.empty()) return false;
    vkdata::convert_de_files({shared + "/de440-excerpt/p1999-2000.440",
                              shared + "/de440-excerpt/p2007.440"},
                             path, false);
    return true;
}

}  // namespace testing_support
