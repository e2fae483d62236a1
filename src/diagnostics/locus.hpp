// Statement locus: where an input/output statement stands in the program's
// source, handed to the reporting code so a failure can name it.
#pragma once

#include <cstdint>

namespace vkrt {

struct Locus {
    const char* source;  // source name, "vorkane" for every statement here
    int32_t line;        // statement line
    int32_t unit;        // unit number the statement works on
};

}  // namespace vkrt
