// Throughput of the state routine: full states (ten bodies with velocities)
// per second, for dates spread through one record (served from the record
// held) and for dates that move to another record on every call; each beside
// the same work done by the routine of commit 28bdea6 (frozen in the test
// support, the yardstick) and by the library through a handle.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/fpu.hpp"
#include "ephemeris/vorkane.hpp"
#include "bench_data_files.hpp"
#include "support/frozen_state_routine.hpp"
#include "vorkane.h"

namespace {

using bench::first_filled;
using bench::filled;

long double record_start(int n) {
    return static_cast<long double>(bench::first_date) + static_cast<long double>(bench::record_days) * (n - 1);
}

// Once per process: the data file, and the floating-point unit as the
// program sets it.
void prepare() {
    static const bool done = [] {
        vkrt::reset_floating_point_unit();
        bench::make_data_files("/tmp/vorkane-bench-XXXXXX");
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
    frozen_28bdea6::vorkane(bench::yardstick_file, date, s);
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
