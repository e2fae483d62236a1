// coor: position (and velocity) of one body at a date, summing its Chebyshev
// series term by term from the lowest order up, from the record held.
#include "ephemeris/chebyshev.hpp"
#include "ephemeris/constants.hpp"
#include "ephemeris/record_cache.hpp"
#include "ephemeris/truncate.hpp"

using ephemeris::buf;
using ephemeris::nper;
using ephemeris::zero;

namespace {

// The sub-interval of the record holding the date, counted from 0. A record
// whose dates leave the 32-day grid could put the date past the last
// sub-interval (or before the first); it is then held to the nearest one, so
// that no coefficient outside the body's block is ever read.
int32_t sub_interval(const long double& date, const ephemeris::SeriesLayout& body) {
    const int32_t m = ephemeris::truncate_to_int32((date - buf[1]) / body.length);
    const int32_t last = body.sub_intervals - 1;
    if (m < 0) return 0;
    return m > last ? last : m;
}

// r[j] = sum over k from `first` to degree of t[k] * buf[base + j*nc + k],
// each sum taken term by term from the lowest order up. The three sums are
// independent and run side by side; each is kept in a register, which rounds
// every step exactly as storing and loading the 80-bit value again would.
void sum_series(const long double* t, int32_t first, int32_t base, int32_t degree,
                long double* r) {
    const int32_t nc = degree + 1;
    const double* x = &buf[base];
    const double* y = x + nc;
    const double* z = y + nc;
    long double sx = zero, sy = zero, sz = zero;
    for (int32_t k = first; k <= degree; ++k) {
        sx = sx + t[k] * x[k];
        sy = sy + t[k] * y[k];
        sz = sz + t[k] * z[k];
    }
    r[0] = sx;
    r[1] = sy;
    r[2] = sz;
}

}  // namespace

extern "C" __attribute__((noinline)) void coor(const int32_t& body, const long double& date,
                                               const int32_t& recompute_flag,
                                               const int32_t& velocity_flag, long double* r) {
    const ephemeris::SeriesLayout& layout = nper[body];
    const int32_t m = sub_interval(date, layout);
    const long double ts = buf[1] + static_cast<long double>(m) * layout.length;
    const long double te = layout.length + ts;
    if (recompute_flag == 1) cheb(ts, te, date, layout.degree, velocity_flag, tc, tcp);
    const int32_t base = layout.start + layout.stride * m;
    sum_series(tc, 0, base, layout.degree, r);
    if (velocity_flag == 1) sum_series(tcp, 1, base, layout.degree, r + 3);
}
