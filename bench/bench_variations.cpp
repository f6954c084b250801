// The variations page at 1080p: eight drawings made at full size beside each other, and nine
// pictures scaled down from them and from the drawing on screen.
#include "app/render.hpp"
#include "app/variations.hpp"

#include <benchmark/benchmark.h>

namespace {

void BM_Variations_1080p(benchmark::State& state) {
    vx::Drawing d{vx::DrawingKind::Pattern, 20240607, {}, 1920, 1080, 0};
    d.settings.colour.list = {255, -3, 16711680};
    const vx::Surface onScreen = vx::renderView(d);
    const auto kind = static_cast<vx::VariationKind>(state.range(0));
    int deal = 0;
    for (auto _ : state) {
        const std::vector<vx::Drawing> eight = vx::variations(d, kind, deal++, d.settings.colour);
        const vx::Surface sheet = vx::variationSheet(d, eight, &onScreen);
        benchmark::DoNotOptimize(sheet.rowData(0));
    }
}

} // namespace

// New colours, other seeds, nudged settings; the time until the grid is whole, and the work of
// every thread in it.
BENCHMARK(BM_Variations_1080p)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
