#include "surface/surface.hpp"

#include <benchmark/benchmark.h>

static void BM_Placeholder(benchmark::State& state) {
    vx::Surface s(64, 64);
    for (auto _ : state) benchmark::DoNotOptimize(s.pixel(1, 1));
}
BENCHMARK(BM_Placeholder);
