// The readable text of an extended real for test failures.
#include "support/extended_print.hpp"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace testing_support {

std::string extended_text(long double value) {
    // The 80-bit format: 16 bits of sign and exponent above a 64-bit
    // significand with its integer bit, little-endian.
    unsigned char bytes[sizeof value] = {};
    std::memcpy(bytes, &value, 10);
    uint64_t significand = 0;
    std::memcpy(&significand, bytes, 8);
    const unsigned top = bytes[8] | (unsigned{bytes[9]} << 8);
    char text[128];
    std::snprintf(text, sizeof text, "%.21Lg (%La, %04x:%016llx)", value, value, top,
                  static_cast<unsigned long long>(significand));
    return text;
}

}  // namespace testing_support
