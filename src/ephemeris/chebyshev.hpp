// Chebyshev evaluation of one body's series from the record held: the
// polynomial values shared between calls, and the two routines.
#pragma once

#include <cstdint>

// T_0 to T_n of the normalised time, and their time derivatives per day, as
// the last cheb call left them. Later bodies reuse them (see vorkane).
extern long double tc[16];
extern long double tcp[16];

// T_0..T_n (and, with velocity_flag 1, their derivatives) at date t in the
// sub-interval [ta, tb].
extern "C" void cheb(const long double& ta, const long double& tb, const long double& t,
                     const int32_t& n, const int32_t& velocity_flag, long double* tc,
                     long double* tcp);

// Position r[0..2] (and, with velocity_flag 1, velocity r[3..5]) of `body`
// (1 to 11) at `date`, in km and km/day. With recompute_flag other than 1 the
// polynomial values of the previous cheb call are used as they stand.
extern "C" void coor(const int32_t& body, const long double& date, const int32_t& recompute_flag,
                     const int32_t& velocity_flag, long double* r);
