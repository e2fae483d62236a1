// The one failure of the data tool: a message for the user, naming the file
// and record concerned.
#pragma once

#include <stdexcept>
#include <string>

namespace vkdata {

class DataError : public std::runtime_error {
public:
    explicit DataError(const std::string& message) : std::runtime_error(message) {}
};

// "Cannot ...: <system error text>" for the current errno.
[[noreturn]] void throw_system_error(const std::string& what);

}  // namespace vkdata
