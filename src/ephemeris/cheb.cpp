// cheb: Chebyshev polynomial values T_0..T_n at the normalised time of a date
// within a sub-interval, and their derivatives with respect to time in days.
#include "ephemeris/chebyshev.hpp"
#include "ephemeris/chebyshev_values.hpp"

extern "C" __attribute__((noinline)) void cheb(const long double& ta, const long double& tb,
                                               const long double& t, const int32_t& n,
                                               const int32_t& velocity_flag, long double* tc,
                                               long double* tcp) {
    if (velocity_flag == 1) {
        ephemeris::chebyshev_values<true>(ta, tb, t, n, tc, tcp);
    } else {
        ephemeris::chebyshev_values<false>(ta, tb, t, n, tc, tcp);
    }
}
