// What a user waits for in pattern mode: one whole pattern, and the tiling alone.
#include "app/generators.hpp"

#include <benchmark/benchmark.h>

namespace {

// The window as start-up leaves it, with the user's colour list red, a random green shade
// and blue.
void startUp(vx::Shapes& sh, int w, int h) {
    sh.surface = vx::Surface(w, h);
    sh.rng.seed(20240607);
    sh.st.tcolor = 1;
    sh.st.tcolor2 = 1;
    sh.st.colorlist[1] = 255;
    sh.st.colorlist[2] = -3;
    sh.st.colorlist[3] = 16711680;
    sh.st.numcolors = 4;
}

void patternRun(benchmark::State& state, int w, int h) {
    vx::Shapes sh;
    startUp(sh, w, h);
    for (auto _ : state) {
        vx::makeshape2(sh);
        benchmark::DoNotOptimize(sh.surface.rowData(0));
    }
}

void BM_Pattern_1080p(benchmark::State& state) {
    patternRun(state, 1920, 1080);
}
void BM_Pattern_4K(benchmark::State& state) {
    patternRun(state, 3840, 2160);
}

void BM_Tiling_1080p(benchmark::State& state) {
    vx::Shapes sh;
    startUp(sh, 1920, 1080);
    vx::makeshape2(sh); // a real tile in the middle to copy
    for (auto _ : state) {
        vx::tilePattern(sh.surface, 200, sh.picture1);
        benchmark::DoNotOptimize(sh.surface.rowData(0));
    }
}

} // namespace

BENCHMARK(BM_Pattern_1080p)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pattern_4K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tiling_1080p)->Unit(benchmark::kMillisecond);
