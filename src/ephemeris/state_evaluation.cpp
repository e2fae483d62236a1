// The evaluation of a state from a record held: each body's Chebyshev
// series summed term by term from the lowest order up, then the Earth, the
// Moon, the heliocentric states and the conversion to astronomical units.
#include "ephemeris/state_evaluation.hpp"

#include "ephemeris/chebyshev.hpp"
#include "ephemeris/constants.hpp"
#include "ephemeris/truncate.hpp"

namespace ephemeris {

namespace {

// The sub-interval of the record holding the date, counted from 0. A record
// whose dates leave the 32-day grid could put the date past the last
// sub-interval (or before the first); it is then held to the nearest one, so
// that no coefficient outside the body's block is ever read.
int32_t sub_interval(const double* record, const long double& date, const SeriesLayout& body) {
    const int32_t m = truncate_to_int32((date - record[1]) / body.length);
    const int32_t last = body.sub_intervals - 1;
    if (m < 0) return 0;
    return m > last ? last : m;
}

// r[j] = sum over k from `first` to degree of t[k] * c[j*nc + k], each sum
// taken term by term from the lowest order up. The three sums are
// independent and run side by side; each is kept in a register, which rounds
// every step exactly as storing and loading the 80-bit value again would.
void sum_series(const long double* t, int32_t first, const double* c, int32_t degree,
                long double* r) {
    const int32_t nc = degree + 1;
    const double* x = c;
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

// s(i) of the 1-based slot numbering.
struct Slots {
    long double* base;
    long double& operator()(int i) const { return base[i - 1]; }
};

// Bodies 5 to 9 share body 4's single 32-day sub-interval and have lower
// degrees, so they reuse the polynomial values computed for body 4, which
// must be evaluated right before them.
void evaluate_bodies(const double* record, Polynomials p, const long double& date,
                     int32_t velocity_flag, Slots s) {
    static constexpr int32_t recompute[12] = {0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1};
    for (int32_t body = 1; body <= body_count; ++body)
        body_state(record, p, body, date, recompute[body], velocity_flag, &s(6 * body - 5));
}

// Without velocities the velocity slots are cleared, so that they hold zeros
// rather than what the caller's array held before.
void clear_velocities(Slots s) {
    for (int body = 1; body <= body_count; ++body)
        for (int n = 0; n < 3; ++n) s(6 * body - 2 + n) = 0.0L;
}

// Earth from the barycentre, Moon from the Earth, everything relative to the
// Sun and in astronomical units. Each slot is finished in registers and
// stored once; the operations on it, and their order, are those of taking
// the steps one after another over the whole array:
//   Earth: ((barycentre - moon * q) - sun) / au
//   Moon:  (((barycentre - moon * q) + moon) - sun) / au
//   other: (body - sun) / au;  the Sun's slots become zero.
void assemble(Slots s) {
    for (int n = 0; n <= 5; ++n) {
        const long double sun = s(61 + n);
        const long double geocentric_moon = s(55 + n);
        const long double earth = s(13 + n) - geocentric_moon * moon_share;
        const long double moon = earth + geocentric_moon;
        for (int k = 1; k <= 10; ++k) {
            const int i = 6 * k - 5 + n;
            const long double body = k == 3 ? earth : k == 10 ? moon : s(i);
            s(i) = (body - sun) / au;
        }
        s(61 + n) = 0.0L / au;
    }
}

}  // namespace

void body_state(const double* record, Polynomials p, int32_t body, const long double& date,
                int32_t recompute_flag, int32_t velocity_flag, long double* r) {
    const SeriesLayout& layout = nper[body];
    const int32_t m = sub_interval(record, date, layout);
    const long double ts = record[1] + static_cast<long double>(m) * layout.length;
    const long double te = layout.length + ts;
    if (recompute_flag == 1) cheb(ts, te, date, layout.degree, velocity_flag, p.tc, p.tcp);
    const double* c = &record[layout.start + layout.stride * m];
    sum_series(p.tc, 0, c, layout.degree, r);
    if (velocity_flag == 1) sum_series(p.tcp, 1, c, layout.degree, r + 3);
}

void evaluate_state(const double* record, Polynomials p, const long double& date,
                    int32_t velocity_flag, long double* state) {
    const Slots s{state};
    if (velocity_flag != 1) clear_velocities(s);
    evaluate_bodies(record, p, date, velocity_flag, s);
    assemble(s);
}

}  // namespace ephemeris
