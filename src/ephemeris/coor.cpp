// coor: position (and velocity) of one body at a date from the record held
// by the program's record cache, with the program's polynomial arrays.
#include "ephemeris/chebyshev.hpp"
#include "ephemeris/record_cache.hpp"
#include "ephemeris/state_evaluation.hpp"
#include "platform/run_data.hpp"

VKRT_RUN_DATA(record) long double tc[16] = {};
VKRT_RUN_DATA(record) long double tcp[16] = {};

extern "C" __attribute__((noinline)) void coor(const int32_t& body, const long double& date,
                                               const int32_t& recompute_flag,
                                               const int32_t& velocity_flag, long double* r) {
    ephemeris::body_state(ephemeris::buf, {tc, tcp}, body, date, recompute_flag, velocity_flag,
                          r);
}
