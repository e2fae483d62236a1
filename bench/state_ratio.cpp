// The state routine against its yardstick, the routine of commit 28bdea6
// (frozen in the test support), side by side: short batches of calls of each
// in turn, timed by the thread's CPU clock, for dates within one record and
// for a new record on every call; also the library through a handle. Prints
// the median time per state of each and the ratios to the yardstick.
// usage: state_ratio [ROUNDS]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "driver/fpu.hpp"
#include "ephemeris/vorkane.hpp"
#include "support/frozen_state_routine.hpp"
#include "vorkane.h"

namespace {

constexpr int values = 1138;
constexpr int64_t record_bytes = values * 8;
constexpr int first_filled = 5000;
constexpr int filled = 64;
constexpr int batch = 200;

long double record_start(int n) { return 2287184.5L + 32.0L * (n - 1); }

// A full-length sparse data file in a fresh directory, made the current one:
// `filled` records on the grid with coefficients of ephemeris size.
void make_data_file() {
    char dir[] = "/tmp/vorkane-ratio-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) std::abort();
    const int fd = open("15502650.440", O_RDWR | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ftruncate(fd, 12556 * record_bytes) != 0) std::abort();
    uint64_t seed = 12345;
    for (int n = first_filled; n < first_filled + filled; ++n) {
        double record[values];
        record[0] = static_cast<double>(record_start(n));
        record[1] = record[0] + 32.0;
        for (int i = 2; i < values; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            record[i] = static_cast<double>(seed >> 11) / 9007199254740992.0 * 2.0e6 - 1.0e6;
        }
        if (pwrite(fd, record, sizeof record, (n - 1) * record_bytes) != sizeof record) std::abort();
    }
    close(fd);
}

long double sink;
vorkane_ephemeris* handle;

void program_state(long double date) {
    long double s[66];
    const int32_t velocity_flag = 1;
    vorkane(date, velocity_flag, s);
    sink = sink + s[3];
}

void frozen_state(long double date) {
    long double s[66];
    frozen_28bdea6::vorkane("15502650.440", date, s);
    sink = sink + s[3];
}

void library_state(long double date) {
    long double s[66];
    if (vorkane_state(handle, date, s) != VORKANE_OK) std::abort();
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
double time_batch(void (*state)(long double), long double (*date)(int), int& i) {
    const double start = cpu_now();
    for (int k = 0; k < batch; ++k) state(date(i++));
    return (cpu_now() - start) / batch;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void compare(const char* what, long double (*date)(int), int rounds) {
    void (*const routines[3])(long double) = {frozen_state, program_state, library_state};
    std::vector<double> times[3];
    int i = 0;
    for (int r = 0; r < rounds; ++r)
        for (int k = 0; k < 3; ++k) times[k].push_back(time_batch(routines[k], date, i));
    const double yardstick = median(times[0]), program = median(times[1]), library = median(times[2]);
    std::printf("%-18s 28bdea6 %7.0f ns  program %7.0f ns  library %7.0f ns  ratios %.2f %.2f\n", what,
                yardstick, program, library, yardstick / program, yardstick / library);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 500;
    vkrt::reset_floating_point_unit();
    make_data_file();
    if (vorkane_open("15502650.440", &handle) != 0) std::abort();
    compare("within one record", within_one_record, rounds);
    compare("new record a call", across_records, rounds);
    return sink == 12345.0L;
}
