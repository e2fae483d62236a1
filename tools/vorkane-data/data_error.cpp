// System failures turned into the tool's error messages.
#include "vorkane-data/data_error.hpp"

#include <cerrno>
#include <cstring>

namespace vkdata {

void throw_system_error(const std::string& what) {
    throw DataError(what + ": " + std::strerror(errno));
}

}  // namespace vkdata
