// The state routine of commit 28bdea6 (cheb, coor, vorkane and its record
// cache), copied unchanged but for its names, kept as the yardstick that the
// faster evaluation is compared with, bit for bit and in speed.
#include "support/frozen_state_routine.hpp"

#include <cstring>

#include "diagnostics/report.hpp"
#include "ephemeris/constants.hpp"
#include "ephemeris/truncate.hpp"
#include "fileio/units.hpp"

namespace frozen_28bdea6 {

using namespace ephemeris;

namespace {

double buf[record_values + 1] = {};
int32_t nrc = -1;
int32_t iop = 0;
long double tc[16] = {};
long double tcp[16] = {};

__attribute__((noinline)) void cheb(const long double& ta, const long double& tb,
                                    const long double& t, const int32_t& n,
                                    const int32_t& velocity_flag, long double* tc,
                                    long double* tcp) {
    const long double h = tb - ta;
    const long double x = ((t - ta) * two) / h - one;
    const long double x2 = two * x;
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

int32_t sub_interval(const long double& date, const SeriesLayout& body) {
    const int32_t m = truncate_to_int32((date - buf[1]) / body.length);
    const int32_t last = body.sub_intervals - 1;
    if (m < 0) return 0;
    return m > last ? last : m;
}

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

__attribute__((noinline)) void coor(const int32_t& body, const long double& date,
                                    const int32_t& recompute_flag, const int32_t& velocity_flag,
                                    long double* r) {
    const SeriesLayout& layout = nper[body];
    const int32_t m = sub_interval(date, layout);
    const long double ts = buf[1] + static_cast<long double>(m) * layout.length;
    const long double te = layout.length + ts;
    if (recompute_flag == 1) cheb(ts, te, date, layout.degree, velocity_flag, tc, tcp);
    const int32_t base = layout.start + layout.stride * m;
    sum_series(tc, 0, base, layout.degree, r);
    if (velocity_flag == 1) sum_series(tcp, 1, base, layout.degree, r + 3);
}

struct Slots {
    long double* base;
    long double& operator()(int i) const { return base[i - 1]; }
};

void evaluate_bodies(const long double& date, const int32_t& velocity_flag, Slots s) {
    static constexpr int32_t recompute[12] = {0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1};
    for (int32_t body = 1; body <= body_count; ++body)
        coor(body, date, recompute[body], velocity_flag, &s(6 * body - 5));
}

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

constexpr char out_of_range[] = "Date out of fund de440 (1549.12.21 - 2650.01.25)";
constexpr char bad_record[] = "incorrect record was read from fund";

void widen_all(const double* values) {
    volatile long double widened;
    for (int i = 0; i < record_values; ++i) widened = values[i];
    (void)widened;
}

void hold_record_for(const char* data_file, const long double& date) {
    if (date > tmax || date < tmin) vkrt::stop_with_text(out_of_range, sizeof out_of_range - 1, false);
    if (iop == 0) {
        vkrt::open_unit({"vorkane", 29, 31}, data_file, vkrt::Access::direct, record_bytes);
        iop = 1;
    }
    const int32_t nr = truncate_to_int32((date - tmin) / record_span + one);
    if (nr == nrc) return;
    nrc = nr;
    vkrt::read_record({"vorkane", 35, 31}, nr, &buf[1]);
    widen_all(&buf[1]);
    if (date < buf[1] || date > buf[2]) vkrt::stop_with_text(bad_record, sizeof bad_record - 1, false);
}

__attribute__((noinline)) void steps(const long double& date, long double (&state)[66]) {
    const Slots s{state};
    const int32_t velocity_flag = 1;
    evaluate_bodies(date, velocity_flag, s);
    assemble(s);
}

}  // namespace

void evaluate(const double* record, const long double& date, long double (&state)[66]) {
    std::memcpy(&buf[1], &record[1], record_values * sizeof(double));
    nrc = -1;
    steps(date, state);
}

const long double* frozen_tc() { return tc; }
const long double* frozen_tcp() { return tcp; }

void vorkane(const char* data_file, const long double& date, long double (&state)[66]) {
    hold_record_for(data_file, date);
    steps(date, state);
}

}  // namespace frozen_28bdea6
