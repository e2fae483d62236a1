// cheb: Chebyshev polynomial values T_0..T_n at the normalised time of a date
// within a sub-interval, and their derivatives with respect to time in days.
#include "ephemeris/chebyshev.hpp"
#include "ephemeris/constants.hpp"

using ephemeris::four;
using ephemeris::one;
using ephemeris::two;

extern "C" __attribute__((noinline)) void cheb(const long double& ta, const long double& tb,
                                               const long double& t, const int32_t& n,
                                               const int32_t& velocity_flag, long double* tc,
                                               long double* tcp) {
    const long double h = tb - ta;
    // x runs from -1 at ta toward +1 at tb.
    const long double x = ((t - ta) * two) / h - one;
    const long double x2 = two * x;
    // The two latest terms of each recurrence are carried in registers.
    long double before = one, last = x;
    tc[0] = before;
    tc[1] = last;
    for (int32_t i = 2; i <= n; ++i) {
        const long double next = last * x2 - before;
        tc[i] = next;
        before = last;
        last = next;
    }
    if (velocity_flag != 1) return;
    // dT_i/dt = (2/h) dT_i/dx, by the derivative's own recurrence.
    const long double f = four / h;
    long double d_before = 0.0L, d_last = two / h;
    tcp[0] = d_before;
    tcp[1] = d_last;
    for (int32_t i = 2; i <= n; ++i) {
        const long double next = (tc[i - 1] * f + d_last * x2) - d_before;
        tcp[i] = next;
        d_before = d_last;
        d_last = next;
    }
}
