// Chebyshev evaluation of one body's series from the record held: the
// polynomial values shared between calls, and the two routines.
#pragma once

#include <cstdint>

// T_0 to T_n of the normalised time, and their time derivatives per day, as
// the last cheb call left them (all zero before the first). Later bodies
// reuse them (see coor). Sixteen values each: they bound the degree of any
// series at 15 (the highest in the record is 13, Mercury's).
extern long double tc[16];
extern long double tcp[16];

// cheb(ta, tb, t, n, velocity_flag, tc, tcp)
//
// Given: ta, tb, the start and end date of a sub-interval, and t, the date,
//   all in days; n, the degree, 0 to 15; velocity_flag 1 for derivatives.
// Returns: tc[0..n] = T_0..T_n at the normalised time x = 2 (t - ta) / h - 1,
//   h = tb - ta, and with velocity_flag 1 tcp[0..n], their derivatives with
//   respect to t per day. Other entries are left as they were.
// Notes: the recurrences run in a fixed order of x87 extended operations,
//   so results agree to the last bit; t outside [ta, tb] simply gives |x| > 1.
extern "C" void cheb(const long double& ta, const long double& tb, const long double& t,
                     const int32_t& n, const int32_t& velocity_flag, long double* tc,
                     long double* tcp);

// coor(body, date, recompute_flag, velocity_flag, r)
//
// Given: body 1 to 11 (the rows of nper); date, days (TDB), within the 32
//   days of the record held in buf; recompute_flag 1 to compute the
//   polynomial values with cheb for this body's sub-interval, anything else
//   to use tc and tcp as they stand; velocity_flag 1 for the velocity.
// Returns: r[0..2], the position in km, and with velocity_flag 1 r[3..5], the
//   velocity in km/day, each summed term by term from the lowest order up.
//   r[3..5] are left untouched otherwise.
// Shared state: reads buf; with recompute_flag 1 writes tc[0..degree] (and
//   tcp with velocity_flag 1), otherwise reads them: that reuse is right
//   only when the last cheb call was for the same sub-interval and date,
//   with a degree not lower than this body's.
// Notes: bit-exact, like cheb. Both routines have C linkage and are never
//   inlined, so that a call-stack trace shows each as its own frame under
//   its plain name.
extern "C" void coor(const int32_t& body, const long double& date, const int32_t& recompute_flag,
                     const int32_t& velocity_flag, long double* r);
