// The state routine: heliocentric positions (au) and velocities (au/day) of
// Mercury to Pluto and the Moon for one Julian date (TDB), from DE440.
#pragma once

#include <cstdint>

// vorkane(date, velocity_flag, state)
//
// Given: date, a Julian date (TDB, days) as an extended real; it must lie in
//   [tmin, tmax] = [2287184.5, 2688976.5], the span of the data file
//   (1549-12-21 to 2650-01-25). velocity_flag: 1 for positions and
//   velocities, anything else for positions only.
// Returns: state(1..66), here state[0..65]: six slots per body 1 to 11
//   (Mercury, Venus, Earth, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto,
//   Moon, Sun), x y z in au then x' y' z' in au/day, relative to the Sun on
//   the axes of the ephemeris; the Sun's slots (61 to 66) are zero. Without
//   velocity_flag 1 the velocity slots are zero.
// Shared state: connects the data file on the first call (sets iop), reads
//   the record covering the date into buf unless nrc already names it (sets
//   nrc); leaves tc and tcp as the sequence of cheb calls for the eleven
//   bodies would leave them.
// Ends the run instead of returning: a date out of range or a record that
//   does not bracket it (stop text, status 0), a failed connection or read
//   of the data file (run-time error report, status 2).
// Notes: every operation is one x87 extended operation, in a fixed order, so
//   the results agree to the last bit with every other build of the program
//   (and with the library, which shares the evaluation). The routine has C
//   linkage and is never inlined, as are coor and cheb: call-stack traces
//   show it as a frame of its own under its plain name, and its failures
//   cite its own statement lines (29, 35).
extern "C" void vorkane(const long double& date, const int32_t& velocity_flag,
                        long double (&state)[66]);
