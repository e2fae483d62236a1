// One frame line of a call-stack trace, "#N  0xHEX" or "#N  0xHEX in NAME",
// read without <regex> (which is slow to compile and warns under the
// sanitizers).
#pragma once

#include <string>

namespace testing_support {

struct FrameLine {
    int number = 0;
    std::string address;  // the hexadecimal digits
    std::string name;     // empty in the address-only form
};

// False for a line of neither form.
inline bool parse_frame_line(const std::string& line, FrameLine& frame) {
    size_t at = 1;
    if (line.empty() || line[0] != '#') return false;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
    if (at == 1 || at > 10 || line.compare(at, 4, "  0x") != 0) return false;
    frame.number = std::stoi(line.substr(1, at - 1));
    const size_t digits = at + 4;
    at = digits;
    while (at < line.size() && ((line[at] >= '0' && line[at] <= '9') || (line[at] >= 'a' && line[at] <= 'f'))) {
        ++at;
    }
    if (at == digits) return false;
    frame.address = line.substr(digits, at - digits);
    frame.name.clear();
    if (at == line.size()) return true;
    if (line.compare(at, 4, " in ") != 0 || at + 4 == line.size()) return false;
    frame.name = line.substr(at + 4);
    return true;
}

}  // namespace testing_support
