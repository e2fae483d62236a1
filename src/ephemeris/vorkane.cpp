// vorkane: the state routine. Holds the record covering the date, evaluates
// the eleven bodies, derives the Earth from the Earth-Moon barycentre and
// the Moon from the Earth, makes every state relative to the Sun and
// converts kilometres to astronomical units.
#include "ephemeris/vorkane.hpp"

#include "ephemeris/chebyshev.hpp"
#include "ephemeris/constants.hpp"
#include "ephemeris/record_cache.hpp"

using ephemeris::au;
using ephemeris::moon_share;

namespace {

// s(i) of the 1-based slot numbering.
struct Slots {
    long double* base;
    long double& operator()(int i) const { return base[i - 1]; }
};

// Bodies 5 to 9 share body 4's single 32-day sub-interval and have lower
// degrees, so they reuse the polynomial values computed for body 4, which
// must be evaluated right before them.
void evaluate_bodies(const long double& date, const int32_t& velocity_flag, Slots s) {
    static constexpr int32_t recompute[12] = {0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1};
    for (int32_t body = 1; body <= ephemeris::body_count; ++body)
        coor(body, date, recompute[body], velocity_flag, &s(6 * body - 5));
}

// Without velocities the velocity slots are cleared, so that they hold zeros
// rather than what the caller's array held before.
void clear_velocities(Slots s) {
    for (int body = 1; body <= ephemeris::body_count; ++body)
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

extern "C" __attribute__((noinline)) void vorkane(const long double& date,
                                                  const int32_t& velocity_flag,
                                                  long double (&state)[66]) {
    const Slots s{state};
    ephemeris::hold_record_for(date);
    if (velocity_flag != 1) clear_velocities(s);
    evaluate_bodies(date, velocity_flag, s);
    assemble(s);
}
