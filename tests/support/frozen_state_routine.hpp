// The state routine as it stood at commit 28bdea6, frozen: the yardstick of
// the bit-identity test and of the state routine's benchmark. It is never
// part of the program or the library; change it never.
#pragma once

#include <cstdint>

namespace frozen_28bdea6 {

// Steps 4 to 9 from `record` (1-based, as the data file's values), held in
// the frozen copy's own buf first.
void evaluate(const double* record, const long double& date, long double (&state)[66]);

// The frozen copy's tc and tcp (16 values each), as its last cheb call left them.
const long double* frozen_tc();
const long double* frozen_tcp();

// The whole routine: range check, its own connection of `data_file` (unit
// 31), the record cache and the evaluation. Ends the run as the program does.
void vorkane(const char* data_file, const long double& date, long double (&state)[66]);

}  // namespace frozen_28bdea6
