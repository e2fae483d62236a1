// Reading the ASCII form of a DE ephemeris: a header file ("header.440":
// KSIZE and NCOEFF on its first line, GROUP 1030 with start date, end date
// and step, GROUP 1050 with the layout table as three rows of start index,
// coefficients and sub-intervals) and data files whose records are a line
// "record-number NCOEFF" followed by the NCOEFF values, three to a line,
// exponents written with D.
#pragma once

#include <string>

#include "vorkane-data/de_layout.hpp"

namespace vkdata {

// Parses and checks a header file; throws DataError naming it.
DeLayout read_de_ascii_header(const std::string& file);

// Hands every record of an ASCII data file to `handler`; throws DataError
// naming the file, record and line on a malformed or truncated record.
void read_de_ascii_data(const std::string& file, const DeLayout& layout,
                        const RecordHandler& handler);

// One number as written in these files (D or E exponent); false unless the
// whole word is a finite number.
bool parse_de_number(const std::string& word, double& value);

}  // namespace vkdata
