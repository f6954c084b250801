// Recordings of screen-saver mode at 1920 x 1080 and 30 frames a second, each format: three
// seconds of patterns replacing each other every second (the drawing of each pattern
// included), and of a single shape gliding; and ten seconds of a pattern's growth (its
// drawing and recording included). Frames a second as fps.
#include "app/growth.hpp"
#include "app/motion.hpp"
#include "app/render.hpp"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void record(benchmark::State& state, bool pattern) {
    const auto format = static_cast<vx::MotionFormat>(state.range(0));
    vx::RenderOptions o;
    o.pattern = pattern;
    vx::SaverMotion m;
    m.first = *vx::renderedDrawing(o, 20240607);
    m.seconds = 1;
    const vx::MotionSettings video{1920, 1080, 30, format};
    const std::string file =
        (std::filesystem::temp_directory_path() / "vortalis-bench-motion").string() +
        vx::motionSuffix(format);
    constexpr long kFrames = 90;
    for (auto _ : state) {
        vx::SaverFrames source(m);
        const vx::MotionTarget to{file, "", ""};
        if (!vx::recordMotion(source, video, kFrames, to)) state.SkipWithError("not written");
    }
    std::error_code ec;
    std::filesystem::remove(file, ec);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(kFrames),
                                               benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Record_1080p_Patterns(benchmark::State& state) {
    record(state, true);
}
void BM_Record_1080p_Glide(benchmark::State& state) {
    record(state, false);
}

void BM_Record_1080p_Growth(benchmark::State& state) {
    const auto format = static_cast<vx::MotionFormat>(state.range(0));
    vx::RenderOptions o;
    vx::Drawing d = *vx::renderedDrawing(o, 20240607);
    const std::string file =
        (std::filesystem::temp_directory_path() / "vortalis-bench-growth").string() +
        vx::motionSuffix(format);
    constexpr long kFrames = 300;
    for (auto _ : state) {
        vx::GrowthFrames source(d, kFrames);
        const vx::MotionSettings video{source.width(), source.height(), 30, format};
        if (!vx::recordMotion(source, video, kFrames, {file, "", ""}))
            state.SkipWithError("not written");
    }
    std::error_code ec;
    std::filesystem::remove(file, ec);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(kFrames),
                                               benchmark::Counter::kIsIterationInvariantRate);
}

// Arguments: MP4, WebM, WebP, GIF.
void formats(benchmark::internal::Benchmark* b) {
    for (int f = 0; f < 4; ++f) b->Arg(f);
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
}

} // namespace

BENCHMARK(BM_Record_1080p_Patterns)->Apply(formats);
BENCHMARK(BM_Record_1080p_Glide)->Apply(formats);
BENCHMARK(BM_Record_1080p_Growth)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
