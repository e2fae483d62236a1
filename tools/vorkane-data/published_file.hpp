// Telling a DE file as JPL publishes it from the program's data file, so
// that checking one says what to do with it.
#pragma once

#include <cstdio>
#include <string>

namespace vkdata {

// When `file` is a published DE file (binary, ASCII header or ASCII data),
// writes on `out` that it is one and how to convert it, and returns true;
// returns false for any other file. Throws DataError when the file cannot
// be read.
bool report_published_de(const std::string& file, std::FILE* out);

}  // namespace vkdata
