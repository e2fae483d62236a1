// The state routine: heliocentric positions (au) and velocities (au/day) of
// Mercury to Pluto and the Moon for one Julian date (TDB), from DE440.
#pragma once

#include <cstdint>

// Fills state(1..66) (here state[0..65]): six slots per body 1 to 11, x y z
// then x' y' z'; the Sun's slots (61 to 66) are zero. Velocities only when
// velocity_flag is 1. Ends the run when the date is out of range or the
// data file fails.
extern "C" void vorkane(const long double& date, const int32_t& velocity_flag,
                        long double (&state)[66]);
