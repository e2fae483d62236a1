// One line of the batch input read as the program reads vorkane.in: the
// first free-form number of the line, by the program's scanner and decimal
// conversion.
#pragma once

#include <string>

namespace batch {

// True for a line holding nothing but blanks (spaces, tabs, carriage
// returns) before its line feed.
bool is_blank_line(const std::string& line);

// Reads the line's first item into `date`, which starts as the program's
// date does, at 0, and stays so for a null value. False, with the text the
// program would report in `message`, when the scan fails.
bool read_date(const std::string& line, long double& date, std::string& message);

}  // namespace batch
