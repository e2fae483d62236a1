// The evaluation of a state from a record already held, written once and
// used by both the program's state routine and the library's handles: each
// caller supplies its own record and polynomial arrays.
#pragma once

#include <cstdint>

namespace ephemeris {

// The 1-based slot of the state vector array where body k's six values
// begin: body k (1 to 11) owns slots 6k - 5 to 6k, x y z then x' y' z'.
inline constexpr int first_slot(int body) { return 6 * body - 5; }

// The polynomial arrays of one caller: T_0 to T_15 and their derivatives,
// as the last computation left them.
struct Polynomials {
    long double* tc;
    long double* tcp;
};

// Position r[0..2] (and, with velocity_flag 1, velocity r[3..5]) of `body`
// (1 to 11) at `date` from `record` (1-based: record[1] is the start date),
// in km and km/day. With recompute_flag other than 1 the polynomial values
// left in `p` are used as they stand.
void body_state(const double* record, Polynomials p, int32_t body, const long double& date,
                int32_t recompute_flag, int32_t velocity_flag, long double* r);

// Fills state[0..65] from `record`, which must bracket the date: the eleven
// bodies, the Earth from the Earth-Moon barycentre and the Moon from the
// Earth, everything relative to the Sun and in astronomical units; the Sun's
// slots zero. Without velocity_flag 1 the velocity slots hold zeros.
void evaluate_state(const double* record, Polynomials p, const long double& date,
                    int32_t velocity_flag, long double* state);

}  // namespace ephemeris
