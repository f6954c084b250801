// What a user waits for when keeping a drawing: the bitmap of a full-HD pattern, and reading
// the settings file at start-up.
#include "app/settings.hpp"
#include "export/bmp.hpp"
#include "surface/surface.hpp"

#include <benchmark/benchmark.h>

static void BM_EncodeBmp1920x1080(benchmark::State& state) {
    vx::Surface s(1920, 1080);
    for (int y = 0; y < 1080; y += 7) s.fillBox(0, y, 1919, y + 3, y * 4099);
    for (auto _ : state) benchmark::DoNotOptimize(vx::encodeBmp24(s));
    state.SetBytesProcessed(state.iterations() * 1920 * 1080 * 3);
}
BENCHMARK(BM_EncodeBmp1920x1080)->Unit(benchmark::kMillisecond);

static void BM_ReadSettingsText(benchmark::State& state) {
    vx::Shapes sh;
    sh.st.numcolors = 64;
    for (int i = 1; i <= 64; ++i) sh.st.colorlist[i] = i * 262143;
    const std::string text = vx::settingsText(sh.st, 10);
    for (auto _ : state) {
        const vx::SettingsValues v = vx::parseSettings(text);
        vx::applySettingsFirst(sh, v);
        vx::applySettingsSecond(sh, v);
    }
}
BENCHMARK(BM_ReadSettingsText)->Unit(benchmark::kMicrosecond);
