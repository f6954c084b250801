// What a user waits for when importing a colour scale: the scan of the sampling box, and the
// renderer's scan of a large picture; and the described method, for comparison.
#include "engine/scale.hpp"
#include "surface/numeric.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace vx;

// A photograph-like picture: smooth light and shade, and sensor noise, so that nearly every
// point has a colour of its own.
Surface photoLike(int w, int h) {
    Surface s(w, h);
    Random r(5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto channel = [&](double phase) {
                const double v = 128 + 100 * std::sin(x * 0.021 + phase) * std::cos(y * 0.017) +
                                 20 * (r.next() - 0.5);
                return std::clamp(static_cast<int>(v), 0, 255);
            };
            s.setPixel(x, y, channel(0) | channel(2) << 8 | channel(4) << 16);
        }
    return s;
}

// Noise over 60,000 colours: the whole picture is scanned, none of it stops the scale early.
Surface noisy(int w, int h) {
    Surface s(w, h);
    uint32_t v = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            v = v * 1664525u + 1013904223u;
            s.setPixel(x, y, static_cast<int32_t>(((v >> 8) % 60000) * 277 + 3));
        }
    return s;
}

void BM_ImportScale_Box(benchmark::State& state) {
    const Surface s = photoLike(305, 225);
    size_t n = 0;
    for (auto _ : state) n = scanScale(s, 305, 225, 1).colours.size();
    state.counters["colours"] = static_cast<double>(n);
}
BENCHMARK(BM_ImportScale_Box)->Unit(benchmark::kMillisecond);

void BM_ImportScale_24MP(benchmark::State& state) {
    const Surface s = noisy(6000, 4000);
    size_t n = 0;
    for (auto _ : state) n = scanScale(s).colours.size();
    state.counters["colours"] = static_cast<double>(n);
}
BENCHMARK(BM_ImportScale_24MP)->Unit(benchmark::kMillisecond);

// Every point compared with every colour found so far, as the import is described.
void BM_ImportScale_Box_Naive(benchmark::State& state) {
    const Surface s = photoLike(305, 225);
    const int32_t grey = qbColor(7);
    size_t n = 0;
    for (auto _ : state) {
        std::vector<int32_t> found;
        for (int y = 0; y < 225; ++y)
            for (int x = 1; x < 305; ++x) {
                const int32_t c = s.pixel(x, y);
                if (c == grey || c == kWhite || c == kBorder) continue;
                if (std::find(found.begin(), found.end(), c) == found.end()) found.push_back(c);
            }
        n = found.size();
    }
    state.counters["colours"] = static_cast<double>(n);
}
BENCHMARK(BM_ImportScale_Box_Naive)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
