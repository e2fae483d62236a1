// The Chebyshev recurrences, written once for cheb and for the state
// evaluation: T_0..T_n at the normalised time of a date in a sub-interval
// and, on request, their time derivatives per day.
#pragma once

#include <cstdint>

#include "ephemeris/constants.hpp"

namespace ephemeris {

// 1/h when h is 4, 8, 16 or 32 days, else 0. For those h, a / h and
// a * (1/h) are both the exact a * 2^-j rounded once, so the two agree in
// every case (subnormal, infinite and NaN operands included); on the 32-day
// grid te - ts is always one of them, and no division is needed.
inline long double exact_reciprocal(const long double& h) {
    if (h == 32.0L) return 1.0L / 32;
    if (h == 16.0L) return 1.0L / 16;
    if (h == 8.0L) return 1.0L / 8;
    if (h == 4.0L) return 1.0L / 4;
    return 0.0L;
}

// tc(0..n) and, with velocities, tcp(0..n) for the date t in [ta, tb]:
//   h = tb - ta;  x = ((t - ta) * 2) / h - 1;  x2 = 2 * x
//   tc(0) = 1, tc(1) = x, tc(i) = tc(i-1) * x2 - tc(i-2)
//   tcp(0) = 0, tcp(1) = 2 / h, tcp(i) = (tc(i-1) * (4/h) + tcp(i-1) * x2) - tcp(i-2)
// Both recurrences run in one loop, their latest terms in registers.
template <bool velocities>
inline void chebyshev_values(const long double& ta, const long double& tb, const long double& t,
                             int32_t n, long double* tc, long double* tcp) {
    const long double h = tb - ta;
    const long double scaled = (t - ta) * two;
    const long double r = exact_reciprocal(h);
    // x runs from -1 at ta toward +1 at tb.
    const long double x = (r != 0.0L ? scaled * r : scaled / h) - one;
    const long double x2 = two * x;
    long double before = one, last = x;
    tc[0] = before;
    tc[1] = last;
    if (!velocities) {
        for (int32_t i = 2; i <= n; ++i) {
            const long double next = last * x2 - before;
            tc[i] = next;
            before = last;
            last = next;
        }
        return;
    }
    const long double f = r != 0.0L ? four * r : four / h;
    long double d_before = 0.0L, d_last = r != 0.0L ? two * r : two / h;
    tcp[0] = d_before;
    tcp[1] = d_last;
    for (int32_t i = 2; i <= n; ++i) {
        const long double next = last * x2 - before;
        const long double d_next = (last * f + d_last * x2) - d_before;
        tc[i] = next;
        tcp[i] = d_next;
        before = last;
        last = next;
        d_before = d_last;
        d_last = d_next;
    }
}

}  // namespace ephemeris
