// The 21 records of vorkane.out for one date and its state, 1567 bytes.
#pragma once

#include <string>

namespace batch {

// Appends the date under (g25.16) and state[0..59] under (3g25.16), every
// record ended by CR LF, edited as the program's start-up settings edit them.
void append_state_records(const long double& date, const long double* state, std::string& out);

}  // namespace batch
