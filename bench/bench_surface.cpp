// Flood fill and single-shape benchmarks on a 1920 x 1080 window.
#include "app/generators.hpp"
#include "engine/tracer.hpp"
#include "surface/surface.hpp"

#include <benchmark/benchmark.h>

#ifdef VORTALIS_HAVE_OPENCV
#include <opencv2/imgproc.hpp>
#endif

using namespace vx;

namespace {

constexpr int kW = 1920, kH = 1080;

// The inside of a one-pixel frame on a white window: one region of about two million pixels.
void BM_FloodFillOneRegion_1080p(benchmark::State& state) {
    Surface s(kW, kH);
    s.box(0, 0, kW - 1, kH - 1, kBorder);
    int k = 0;
    for (auto _ : state) {
        // Alternate colours: each pass refills the whole region, so nothing needs resetting.
        s.setFillColor(++k % 2 ? 255 : 65280);
        benchmark::DoNotOptimize(s.floodFill(kW / 2, kH / 2, kBorder));
    }
    state.SetItemsProcessed(state.iterations() * (kW - 2) * (kH - 2));
}
BENCHMARK(BM_FloodFillOneRegion_1080p)->Unit(benchmark::kMillisecond);

#ifdef VORTALIS_HAVE_OPENCV
void BM_OpenCvFloodFillOneRegion_1080p(benchmark::State& state) {
    cv::Mat img(kH, kW, CV_32SC1, cv::Scalar(kWhite));
    cv::rectangle(img, cv::Point(0, 0), cv::Point(kW - 1, kH - 1), cv::Scalar(kBorder));
    int k = 0;
    for (auto _ : state) {
        const int c = ++k % 2 ? 255 : 65280;
        benchmark::DoNotOptimize(cv::floodFill(img, cv::Point(kW / 2, kH / 2), cv::Scalar(c),
                                               nullptr, cv::Scalar(0), cv::Scalar(0), 4));
    }
    state.SetItemsProcessed(state.iterations() * (kW - 2) * (kH - 2));
}
BENCHMARK(BM_OpenCvFloodFillOneRegion_1080p)->Unit(benchmark::kMillisecond);
#endif

// Outlines of 40 random symmetric shapes scattered over the window.
Surface scatteredOutlines() {
    Surface out(kW, kH);
    Random place(99);
    for (int i = 0; i < 40; ++i) {
        Surface sf(420, 420);
        Random rng(1000 + i);
        TraceParams p;
        p.cx = 210, p.cy = 210;
        p.s = 100 + 10 * (i % 31);
        p.w = 1 + i % 3;
        p.circle = true;
        p.deep = p.w >= 2;
        p.fancy = i % 2;
        p.turnPeriod = 2 + i % 9;
        p.hitLimit = 200;
        while (traceAttempt(sf, rng, p).result != TraceResult::Closed) {
        }
        const int ox = static_cast<int>(place.next() * (kW - 420));
        const int oy = static_cast<int>(place.next() * (kH - 420));
        for (int y = 0; y < 420; ++y)
            for (int x = 0; x < 420; ++x)
                if (sf.pixel(x, y) == kBorder && std::abs(x - 210) <= p.s / 2 &&
                    std::abs(y - 210) <= p.s / 2)
                    out.setPixel(ox + x, oy + y, kBorder);
    }
    return out;
}

void BM_FloodFillAllRegions_1080p(benchmark::State& state) {
    Surface s = scatteredOutlines();
    int k = 0;
    long regions = 0;
    for (auto _ : state) {
        // One fill per region, each region its own colour as a drawing gives it. The pass
        // number sits in the blue byte, so the raster scan finds the regions not yet filled in
        // this pass and nothing needs resetting between passes.
        const int32_t pass = (++k % 2 ? 0x40 : 0x80) << 16;
        regions = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = s.findOther(y, 0, kBorder, pass, 0xFF0000); x < kW;
                 x = s.findOther(y, x, kBorder, pass, 0xFF0000)) {
                s.setFillColor(pass | static_cast<int32_t>(2 + regions % 60000));
                s.floodFill(x, y, kBorder);
                ++regions;
            }
    }
    state.counters["regions"] = static_cast<double>(regions);
}
BENCHMARK(BM_FloodFillAllRegions_1080p)->Unit(benchmark::kMillisecond);

void BM_SingleShape_1080p(benchmark::State& state) {
    Shapes sh;
    sh.surface.resize(kW, kH);
    sh.rng.seed(2024);
    long attempts = 0, runs = 0;
    for (auto _ : state) {
        attempts += makeshape(sh).attempts;
        ++runs;
    }
    state.counters["attempts"] = static_cast<double>(attempts) / static_cast<double>(runs);
}
BENCHMARK(BM_SingleShape_1080p)->Unit(benchmark::kMillisecond);

} // namespace
