// The state routine against its yardstick, the routine of commit 28bdea6
// (frozen in the test support), side by side: short batches of calls of each
// in turn, timed by the thread's CPU clock, for dates within one record and
// for a new record on every call; also the library through a handle. Prints
// the median time per state of each and the ratios to the yardstick.
// usage: state_ratio [ROUNDS]

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "driver/fpu.hpp"
#include "ephemeris/vorkane.hpp"
#include "bench_data_files.hpp"
#include "support/frozen_state_routine.hpp"
#include "vorkane.h"

namespace {

using bench::first_filled;
using bench::filled;
constexpr int batch = 200;

long double record_start(int n) {
    return static_cast<long double>(bench::first_date) + static_cast<long double>(bench::record_days) * (n - 1);
}

long double sink;
vorkane_ephemeris* handle;

// Each routine is called as a caller would call it, with a date just
// computed: the two that take it by reference from a variable, the library
// by value. Either way the date is stored once right before the call.
long double (*dates)(int);

void program_state(int i) {
    long double s[66];
    const int32_t velocity_flag = 1;
    const long double date = dates(i);
    vorkane(date, velocity_flag, s);
    sink = sink + s[3];
}

void frozen_state(int i) {
    long double s[66];
    const long double date = dates(i);
    frozen_28bdea6::vorkane(bench::yardstick_file, date, s);
    sink = sink + s[3];
}

void library_state(int i) {
    long double s[66];
    if (vorkane_state(handle, dates(i), s) != VORKANE_OK) std::abort();
    sink = sink + s[3];
}

double cpu_now() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

long double within_one_record(int i) { return record_start(first_filled) + (i & 1023) * (32.0L / 1024); }
long double across_records(int i) { return record_start(first_filled + i % filled) + 7.25L; }

// Nanoseconds per state of one batch.
double time_batch(void (*state)(int), int& i) {
    const double start = cpu_now();
    for (int k = 0; k < batch; ++k) state(i++);
    return (cpu_now() - start) / batch;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void compare(const char* what, long double (*date)(int), int rounds) {
    dates = date;
    void (*const routines[3])(int) = {frozen_state, program_state, library_state};
    std::vector<double> times[3];
    int i = 0;
    for (int r = 0; r < rounds; ++r)
        for (int k = 0; k < 3; ++k) times[k].push_back(time_batch(routines[k], i));
    const double yardstick = median(times[0]), program = median(times[1]), library = median(times[2]);
    std::printf("%-18s 28bdea6 %7.0f ns  program %7.0f ns  library %7.0f ns  ratios %.2f %.2f\n", what,
                yardstick, program, library, yardstick / program, yardstick / library);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 500;
    vkrt::reset_floating_point_unit();
    bench::make_data_files("/tmp/vorkane-ratio-XXXXXX");
    if (vorkane_open("15502650.440", &handle) != 0) std::abort();
    compare("within one record", within_one_record, rounds);
    compare("new record a call", across_records, rounds);
    return sink == 12345.0L;
}
