// Throughput of the state routine: full states (ten bodies with velocities)
// per second, for dates spread through one record (served from the record
// held) and for dates that move to another record on every call; each beside
// the same work done by the routine of commit 28bdea6 (frozen in the test
// support, the yardstick) and by the library through a handle.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/fpu.hpp"
#include "ephemeris/vorkane.hpp"
#include "support/frozen_state_routine.hpp"
#include "vorkane.h"

namespace {

constexpr int values = 1138;
constexpr int64_t record_bytes = values * 8;
constexpr int64_t records = 12556;
constexpr double first_date = 2287184.5;
constexpr int first_filled = 5000;
constexpr int filled = 64;

// A full-length sparse data file in a fresh directory, made the current one:
// `filled` records on the 32-day grid with coefficients of ephemeris size.
void make_data_file() {
    char dir[] = "/tmp/vorkane-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) std::abort();
    const int fd = open("15502650.440", O_RDWR | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ftruncate(fd, records * record_bytes) != 0) std::abort();
    uint64_t seed = 12345;
    for (int n = first_filled; n < first_filled + filled; ++n) {
        double record[values];
        record[0] = first_date + 32.0 * (n - 1);
        record[1] = record[0] + 32.0;
        for (int i = 2; i < values; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            record[i] = static_cast<double>(seed >> 11) / 9007199254740992.0 * 2.0e6 - 1.0e6;
        }
        if (pwrite(fd, record, sizeof record, (n - 1) * record_bytes) != sizeof record) std::abort();
    }
    close(fd);
}

long double record_start(int n) { return static_cast<long double>(first_date) + 32.0L * (n - 1); }

// Once per process: the data file, and the floating-point unit as the
// program sets it.
void prepare() {
    static const bool done = [] {
        vkrt::reset_floating_point_unit();
        make_data_file();
        return true;
    }();
    (void)done;
}

void program_state(long double date) {
    static long double s[66];
    const int32_t velocity_flag = 1;
    vorkane(date, velocity_flag, s);
    benchmark::DoNotOptimize(s);
}

void frozen_state(long double date) {
    static long double s[66];
    frozen_28bdea6::vorkane("15502650.440", date, s);
    benchmark::DoNotOptimize(s);
}

void library_state(long double date) {
    static vorkane_ephemeris* eph = [] {
        vorkane_ephemeris* opened = nullptr;
        if (vorkane_open("15502650.440", &opened) != 0) std::abort();
        return opened;
    }();
    static long double s[66];
    if (vorkane_state(eph, date, s) != VORKANE_OK) std::abort();
    benchmark::DoNotOptimize(s);
}

template <void (*state)(long double)>
void BM_StatesWithinOneRecord(benchmark::State& st) {
    prepare();
    const long double start = record_start(first_filled);
    int i = 0;
    for (auto _ : st) {
        state(start + (i & 1023) * (32.0L / 1024));
        ++i;
    }
    st.SetItemsProcessed(st.iterations());
}

template <void (*state)(long double)>
void BM_StatesAcrossRecords(benchmark::State& st) {
    prepare();
    int i = 0;
    for (auto _ : st) {
        state(record_start(first_filled + i % filled) + 7.25L);
        ++i;
    }
    st.SetItemsProcessed(st.iterations());
}

BENCHMARK(BM_StatesWithinOneRecord<frozen_state>)->Name("WithinOneRecord/28bdea6");
BENCHMARK(BM_StatesWithinOneRecord<program_state>)->Name("WithinOneRecord/program");
BENCHMARK(BM_StatesWithinOneRecord<library_state>)->Name("WithinOneRecord/library");
BENCHMARK(BM_StatesAcrossRecords<frozen_state>)->Name("AcrossRecords/28bdea6");
BENCHMARK(BM_StatesAcrossRecords<program_state>)->Name("AcrossRecords/program");
BENCHMARK(BM_StatesAcrossRecords<library_state>)->Name("AcrossRecords/library");

}  // namespace
