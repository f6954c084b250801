// What users wait for in colouring: a whole single shape, and the colouring of a shape or a
// tile alone, on a 1920 x 1080 window.
#include "app/generators.hpp"
#include "engine/colouring.hpp"
#include "engine/tracer.hpp"

#include <benchmark/benchmark.h>

namespace {

using namespace vx;

void prepare(Shapes& sh, double tcolor, double tcolor2) {
    sh.surface.resize(1920, 1080);
    sh.st.tcolor = tcolor;
    sh.st.tcolor2 = tcolor2;
    sh.st.colorlist[1] = 255;
    sh.st.colorlist[2] = -3;
}

void BM_SingleShapeColoured_1080p(benchmark::State& state) {
    Shapes sh;
    prepare(sh, 1, 1);
    sh.rng.seed(1);
    for (auto _ : state) makeshape(sh);
}
BENCHMARK(BM_SingleShapeColoured_1080p)->Unit(benchmark::kMillisecond);

// A traced, uncoloured outline of the default fields, kept to be coloured again and again.
Surface tracedOutline(Shapes& sh, uint64_t seed, bool frame) {
    Random rng(seed);
    TraceParams p;
    p.cx = 960;
    p.cy = 540;
    p.s = 200;
    p.w = 1;
    p.circle = true;
    p.fancy = true;
    p.turnPeriod = 10;
    p.hitLimit = 50;
    sh.surface.setBackColor(kWhite);
    while (traceAttempt(sh.surface, rng, p).result != TraceResult::Closed) {
    }
    if (frame) sh.surface.box(861, 441, 1059, 639, kBorder);
    return sh.surface;
}

template <bool Tile> void colourOnly(benchmark::State& state) {
    Shapes sh;
    prepare(sh, static_cast<double>(state.range(0)), state.range(0) == 1 ? 1 : 0);
    const Surface outline = tracedOutline(sh, 7, Tile);
    const ColourSettings cs = colourSettings(sh.st);
    for (auto _ : state) {
        state.PauseTiming();
        sh.surface = outline;
        state.ResumeTiming();
        if (Tile)
            colourTile(sh.surface, cs, sh.rng, 960, 540, 200, 4);
        else
            colourShape(sh.surface, cs, sh.rng, 960, 540, 200, 4);
    }
}
void BM_ColourShape_1080p(benchmark::State& state) {
    colourOnly<false>(state);
}
void BM_ColourTile_1080p(benchmark::State& state) {
    colourOnly<true>(state);
}
BENCHMARK(BM_ColourShape_1080p)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColourTile_1080p)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
