// What a user waits for after "Palette from picture...": the most representative colours of a
// 24-megapixel photograph (6000 x 4000), reading the picture file aside.
#include "export/picturepalette.hpp"
#include "surface/numeric.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace vx;

// Smooth light and shade with sensor noise: hundreds of thousands of distinct colours.
const Surface& photograph() {
    static const Surface s = [] {
        Surface p(6000, 4000);
        Random r(7);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                auto channel = [&](double phase) {
                    const double v =
                        128 +
                        100 * std::sin(x * 0.0021 + phase) * std::cos(y * 0.0017 + phase / 2) +
                        24 * (r.next() - 0.5);
                    return std::clamp(static_cast<int>(v), 0, 255);
                };
                p.setPixel(x, y, channel(0) | channel(2) << 8 | channel(4) << 16);
            }
        return p;
    }();
    return s;
}

void PicturePalette(benchmark::State& state) {
    const Surface& p = photograph();
    for (auto _ : state)
        benchmark::DoNotOptimize(pictureColours(p, static_cast<int>(state.range(0))));
    state.counters["megapixels"] = static_cast<double>(p.width()) * p.height() / 1e6;
}
BENCHMARK(PicturePalette)->Arg(8)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
