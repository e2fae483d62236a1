// vorkane: the state routine. Holds the record covering the date in the
// process-wide record cache, then evaluates the state from it with the
// process-wide polynomial arrays.
#include "ephemeris/vorkane.hpp"

#include "ephemeris/chebyshev.hpp"
#include "ephemeris/record_cache.hpp"
#include "ephemeris/state_evaluation.hpp"

extern "C" __attribute__((noinline)) void vorkane(const long double& date,
                                                  const int32_t& velocity_flag,
                                                  long double (&state)[66]) {
    ephemeris::hold_record_for(date);
    ephemeris::evaluate_state(ephemeris::buf, {tc, tcp}, date, velocity_flag, state);
}
