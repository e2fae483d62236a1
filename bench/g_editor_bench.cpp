// Cost of one G25.16 field: typical state-vector magnitudes, and the extremes
// of the extended range where the exact conversion works on the longest
// numbers.
#include <benchmark/benchmark.h>
#include <cmath>

#include "textio/g_editor.hpp"

namespace {

constexpr vkrt::EditSettings settings{false, true, true};

void edit(benchmark::State& state, long double x) {
    char field[25];
    for (auto _ : state) {
        vkrt::edit_g(x, 25, 16, settings, field);
        benchmark::DoNotOptimize(field);
    }
}

void BM_GFieldDate(benchmark::State& state) { edit(state, 2451545.0L); }
void BM_GFieldSmall(benchmark::State& state) { edit(state, -0.0767990412L); }
void BM_GFieldLargest(benchmark::State& state) { edit(state, 1.18e4932L); }
void BM_GFieldSmallestSubnormal(benchmark::State& state) {
    edit(state, std::nextafter(0.0L, 1.0L));
}

BENCHMARK(BM_GFieldDate);
BENCHMARK(BM_GFieldSmall);
BENCHMARK(BM_GFieldLargest);
BENCHMARK(BM_GFieldSmallestSubnormal);

}  // namespace

BENCHMARK_MAIN();
