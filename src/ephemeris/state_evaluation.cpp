// The evaluation of a state from a record held: each body's Chebyshev
// series summed term by term from the lowest order up, then the Earth, the
// Moon, the heliocentric states and the conversion to astronomical units.
#include "ephemeris/state_evaluation.hpp"

#include <cstring>

#include "ephemeris/chebyshev.hpp"
#include "ephemeris/chebyshev_values.hpp"
#include "ephemeris/constants.hpp"
#include "ephemeris/truncate.hpp"

namespace ephemeris {

namespace {

// The sub-interval of the record holding the date, counted from 0. A record
// whose dates leave the 32-day grid could put the date past the last
// sub-interval (or before the first); it is then held to the nearest one, so
// that no coefficient outside the body's block is ever read. The length is a
// power of two, so the division is the exact multiplication by its reciprocal.
int32_t sub_interval(const double* record, const long double& date, const SeriesLayout& body) {
    const int32_t m = truncate_to_int32((date - record[1]) * exact_reciprocal(body.length));
    const int32_t last = body.sub_intervals - 1;
    if (m < 0) return 0;
    return m > last ? last : m;
}

// Where the sums of a body go: into r as they are, or, with `sun` given,
// made heliocentric and converted to astronomical units on the way,
// r[j] = (sum - sun[j]) / au. Dividing each slot as soon as its sum is
// known lets the divider work while the next body's sums run.
struct Sums {
    long double* r;
    const long double* sun;
    void put(int j, const long double& sum) const { r[j] = sun ? (sum - sun[j]) / au : sum; }
};

// The `first` of the sums below that starts them at k = 0 with T_0 taken as
// 1, as every set of values has it, instead of loading t[0].
constexpr int32_t from_unit_t0 = -1;

// The sums of one coordinate triple to r: r[j] = sum over k from `first` to
// degree of t[k] * c[j*nc + k], each taken term by term from the lowest
// order up. The three sums are independent and run side by side; each is
// kept in a register, which rounds every step exactly as storing and
// loading the 80-bit value again would.
template <typename Put>
void sum_series(const long double* t, int32_t first, const double* c, int32_t degree, Put r) {
    const int32_t nc = degree + 1;
    const double* x = c;
    const double* y = x + nc;
    const double* z = y + nc;
    long double sx = zero, sy = zero, sz = zero;
    int32_t k = first;
    if (k == from_unit_t0) {
        sx = sx + one * x[0];
        sy = sy + one * y[0];
        sz = sz + one * z[0];
        k = 1;
    }
    for (; k <= degree; ++k) {
        sx = sx + t[k] * x[k];
        sy = sy + t[k] * y[k];
        sz = sz + t[k] * z[k];
    }
    r.put(0, sx);
    r.put(1, sy);
    r.put(2, sz);
}

// Slot j of two bodies summed together. Either body a is the Sun, whose sums
// are stored as they are and b's taken relative to them (b's Sun is where
// a's sums go), or both are taken relative to the same Sun: its value comes
// from the register holding the Sun's sum or from one load for both.
[[gnu::always_inline]] inline void put_pair(Sums ra, Sums rb, int j, const long double& sa,
                                            const long double& sb) {
    if (rb.sun == ra.r) {
        ra.r[j] = sa;
        rb.r[j] = (sb - sa) / au;
        return;
    }
    const long double sun = ra.sun[j];
    ra.r[j] = (sa - sun) / au;
    rb.r[j] = (sb - sun) / au;
}

// The sums of sum_series for two bodies from the same values t, body a of
// the higher degree: one load of each t[k] serves both. Their Suns are as
// put_pair takes them.
void sum_two_series(const long double* t, int32_t first, const double* a, int32_t degree_a,
                    const double* b, int32_t degree_b, Sums ra, Sums rb) {
    const double *ax = a, *ay = ax + degree_a + 1, *az = ay + degree_a + 1;
    const double *bx = b, *by = bx + degree_b + 1, *bz = by + degree_b + 1;
    long double sax = zero, say = zero, saz = zero, sbx = zero, sby = zero, sbz = zero;
    int32_t k = first;
    if (k == from_unit_t0) {
        sax = sax + one * ax[0];
        say = say + one * ay[0];
        saz = saz + one * az[0];
        sbx = sbx + one * bx[0];
        sby = sby + one * by[0];
        sbz = sbz + one * bz[0];
        k = 1;
    }
    for (; k <= degree_b; ++k) {
        sax = sax + t[k] * ax[k];
        say = say + t[k] * ay[k];
        saz = saz + t[k] * az[k];
        sbx = sbx + t[k] * bx[k];
        sby = sby + t[k] * by[k];
        sbz = sbz + t[k] * bz[k];
    }
    for (; k <= degree_a; ++k) {
        sax = sax + t[k] * ax[k];
        say = say + t[k] * ay[k];
        saz = saz + t[k] * az[k];
    }
    put_pair(ra, rb, 0, sax, sbx);
    put_pair(ra, rb, 1, say, sby);
    put_pair(ra, rb, 2, saz, sbz);
}

// The bodies whose slots the assembly treats apart: the Earth-Moon
// barycentre (turned into the Earth), the Moon and the Sun.
constexpr int earth_slot = first_slot(3);
constexpr int moon_slot = first_slot(10);
constexpr int sun_slot = first_slot(11);

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
        body_state(record, p, body, date, recompute[body], velocity_flag, &s(first_slot(body)));
}

// The polynomial values and their derivatives for the sub-interval of
// `body` that holds the date, to degree n; returns the sub-interval. Body
// and degree are fixed when compiled, so the recurrence is laid out in full.
template <int32_t body, int32_t n>
int32_t values_for(const double* record, const long double& date, long double* tc,
                   long double* tcp) {
    const SeriesLayout& layout = nper[body];
    const int32_t m = sub_interval(record, date, layout);
    const long double ts = record[1] + static_cast<long double>(m) * layout.length;
    const long double te = layout.length + ts;
    chebyshev_values<true, n>(ts, te, date, n, tc, tcp);
    return m;
}

const double* series_of(const double* record, int32_t body, int32_t m) {
    return &record[nper[body].start + nper[body].stride * m];
}

// Positions and velocities of bodies a and b (a of the higher degree), both
// in sub-interval m, from the values given, to ra and rb.
void two_body_sums(const double* record, const long double* tc, const long double* tcp,
                   int32_t a, int32_t b, int32_t m, Sums ra, Sums rb) {
    const double* ca = series_of(record, a, m);
    const double* cb = series_of(record, b, m);
    const Sums va{ra.r + 3, ra.sun ? ra.sun + 3 : nullptr};
    const Sums vb{rb.r + 3, rb.sun ? rb.sun + 3 : nullptr};
    sum_two_series(tc, from_unit_t0, ca, nper[a].degree, cb, nper[b].degree, ra, rb);
    sum_two_series(tcp, 1, ca, nper[a].degree, cb, nper[b].degree, va, vb);
}

// Position and velocity of `body` in sub-interval m from the values given.
void body_sums(const double* record, const long double* tc, const long double* tcp,
               int32_t body, int32_t m, Sums r) {
    const double* c = series_of(record, body, m);
    sum_series(tc, from_unit_t0, c, nper[body].degree, r);
    sum_series(tcp, 1, c, nper[body].degree, Sums{r.r + 3, r.sun ? r.sun + 3 : nullptr});
}

// Where the geocentric Moon's sums go: with the barycentre's sums held in
// the Earth's slots, they finish both the Earth and the Moon, relative to
// the Sun and in astronomical units, while the Moon's sums are in registers:
//   Earth: ((barycentre - moon * q) - sun) / au
//   Moon:  (((barycentre - moon * q) + moon) - sun) / au
struct EarthAndMoon {
    long double* earth;
    long double* moon;
    const long double* sun;
    void put(int j, const long double& geocentric_moon) const {
        const long double e = earth[j] - geocentric_moon * moon_share;
        const long double m = e + geocentric_moon;
        const long double sun_j = sun[j];
        earth[j] = (e - sun_j) / au;
        moon[j] = (m - sun_j) / au;
    }
};

// The Moon's position and velocity in sub-interval m from its values,
// finishing the Earth's slots and its own (see EarthAndMoon).
void moon_sums(const double* record, const long double* tc, const long double* tcp, int32_t m,
               Slots s, const long double* sun) {
    const double* c = series_of(record, 10, m);
    sum_series(tc, from_unit_t0, c, nper[10].degree, EarthAndMoon{&s(earth_slot), &s(moon_slot), sun});
    sum_series(tcp, 1, c, nper[10].degree,
               EarthAndMoon{&s(earth_slot + 3), &s(moon_slot + 3), sun + 3});
}

// The eleven bodies with velocities from four sets of polynomial values, one
// per sub-interval length: Mercury (8 days), Venus, the Earth-Moon barycentre
// and the Sun (16), Mars to Pluto (32), the Moon (4). Within a set the bodies
// have the same sub-interval, and the values of a lower degree do not depend
// on how far the recurrence runs, so each body gets the very values its own
// cheb call would give. The caller's arrays end as the program's sequence
// of cheb calls leaves them: T_0..T_10 of the Sun's, T_11 and T_12 of the
// Moon's, T_13 of Mercury's.
//
// The Sun comes first, so that every other body can be made heliocentric
// and divided by au as soon as its sums are known: the divisions then
// overlap the work that follows instead of queueing at the end. Each set of
// values is computed ahead of the sums of the set before it, so that its
// long chain of dependent operations overlaps them too.
void evaluate_with_velocities(const double* record, Polynomials p, const long double& date,
                              Slots s) {
    long double mercury_tc[16], mercury_tcp[16], planet_tc[16], planet_tcp[16];
    long double moon_tc[16], moon_tcp[16];
    long double sun[6];
    const int32_t m2 = values_for<2, 12>(record, date, p.tc, p.tcp);
    const int32_t m10 = values_for<10, 12>(record, date, moon_tc, moon_tcp);
    // The Sun's sums go to `sun`; Venus's are taken relative to them in registers.
    // cppcheck-suppress legacyUninitvar
    two_body_sums(record, p.tc, p.tcp, 11, 2, m2, {sun, nullptr}, {&s(first_slot(2)), sun});
    const int32_t m1 = values_for<1, 13>(record, date, mercury_tc, mercury_tcp);
    body_sums(record, p.tc, p.tcp, 3, m2, {&s(earth_slot), nullptr});
    moon_sums(record, moon_tc, moon_tcp, m10, s, sun);
    const int32_t m4 = values_for<4, 10>(record, date, planet_tc, planet_tcp);
    body_sums(record, mercury_tc, mercury_tcp, 1, m1, {&s(first_slot(1)), sun});
    two_body_sums(record, planet_tc, planet_tcp, 4, 9, m4, {&s(first_slot(4)), sun},
                  {&s(first_slot(9)), sun});
    two_body_sums(record, planet_tc, planet_tcp, 5, 6, m4, {&s(first_slot(5)), sun},
                  {&s(first_slot(6)), sun});
    two_body_sums(record, planet_tc, planet_tcp, 7, 8, m4, {&s(first_slot(7)), sun},
                  {&s(first_slot(8)), sun});
    // 0 / au is +0, whose bytes are all zero: stored as bytes, which is
    // faster than storing 80-bit values.
    std::memset(&s(sun_slot), 0, 6 * sizeof(long double));

    // Copied as bytes: loading and storing 80-bit values would be slower.
    std::memcpy(&p.tc[11], &moon_tc[11], 2 * sizeof(long double));
    std::memcpy(&p.tcp[11], &moon_tcp[11], 2 * sizeof(long double));
    std::memcpy(&p.tc[13], &mercury_tc[13], sizeof(long double));
    std::memcpy(&p.tcp[13], &mercury_tcp[13], sizeof(long double));
}

// Without velocities the velocity slots are cleared, so that they hold zeros
// rather than what the caller's array held before.
void clear_velocities(Slots s) {
    for (int body = 1; body <= body_count; ++body)
        for (int n = 0; n < 3; ++n) s(first_slot(body) + 3 + n) = 0.0L;
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
        const long double sun = s(sun_slot + n);
        const long double geocentric_moon = s(moon_slot + n);
        const long double earth = s(earth_slot + n) - geocentric_moon * moon_share;
        const long double moon = earth + geocentric_moon;
        for (int k = 1; k <= 10; ++k) {
            const int i = first_slot(k) + n;
            const long double body = k == 3 ? earth : k == 10 ? moon : s(i);
            s(i) = (body - sun) / au;
        }
        s(sun_slot + n) = 0.0L / au;
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
    sum_series(p.tc, 0, c, layout.degree, Sums{r, nullptr});
    if (velocity_flag == 1) sum_series(p.tcp, 1, c, layout.degree, Sums{r + 3, nullptr});
}

void evaluate_state(const double* record, Polynomials p, const long double& date,
                    int32_t velocity_flag, long double* state) {
    const Slots s{state};
    if (velocity_flag == 1) {
        evaluate_with_velocities(record, p, date, s);
        return;
    }
    clear_velocities(s);
    evaluate_bodies(record, p, date, velocity_flag, s);
    assemble(s);
}

}  // namespace ephemeris
