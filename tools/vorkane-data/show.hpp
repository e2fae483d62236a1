// The show command: the program's output file vorkane.out as a labelled
// table, for people.
#pragma once

#include <cstdio>
#include <string>

namespace vkdata {

// Writes on `out` the date (Julian date and calendar date, TDB) and, for
// each body, its position, distance from the Sun, velocity and speed, the
// coordinates as the file writes them. Throws DataError, before writing
// anything, when the file cannot be read or is not a well-formed output of
// the program: 21 records ended by CR LF, one field of 25 characters and
// then twenty records of three, each field a number.
void show_output_file(const std::string& file, std::FILE* out);

}  // namespace vkdata
