// Drawings leaving the program: the SVG and PDF of a many-region 1920 x 1080 pattern (as it
// repeats, with the repeat broken so that the whole surface is traced, and for a plotter) and
// of the default pattern, a PNG of too many colours for a palette, and the 8K poster's PNG.
#include "app/export.hpp"

#include <benchmark/benchmark.h>

namespace {

// Large tiles of many small regions in their own true colours.
vx::Drawing manyRegions() {
    vx::RenderOptions o;
    o.size = "400";
    o.detail = "25";
    o.complexity = "25";
    o.smoothness = "1";
    o.colours = vx::RenderOptions::Colours::True;
    return *vx::renderedDrawing(o, 20240607);
}

// The default pattern in true colours.
vx::Drawing plainPattern() {
    vx::RenderOptions o;
    o.colours = vx::RenderOptions::Colours::True;
    return *vx::renderedDrawing(o, 5);
}

// Encodes the surface over and over; the file's size as a counter.
void encodeAll(benchmark::State& state, const vx::Surface& s, const vx::PictureFile& f) {
    size_t bytes = 0;
    for (auto _ : state) {
        const vx::Result<std::string> file = vx::encodePicture(s, f);
        bytes = file ? file->size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

// A vector file of the drawing as the window or the renderer writes it: the drawing made again
// for its pens' lines. Broken, the repeat and the drawing no longer match the surface, which
// is traced whole, its outline too.
void exportFile(benchmark::State& state, const vx::Drawing& d, vx::RenderOptions::Format format,
                bool broken = false, bool plotter = false) {
    vx::Surface s = vx::renderDrawing(d);
    if (broken) s.setPixel(0, 0, vx::kWhite);
    vx::PictureFile f;
    f.format = format;
    f.drawing = d;
    f.plotter = plotter;
    encodeAll(state, s, f);
}

void BM_Svg_1080p_ManyRegions(benchmark::State& state) {
    exportFile(state, manyRegions(), vx::RenderOptions::Format::Svg);
}
void BM_Svg_1080p_ManyRegions_Traced_Whole(benchmark::State& state) {
    exportFile(state, manyRegions(), vx::RenderOptions::Format::Svg, true);
}
void BM_Svg_1080p_ManyRegions_Plotter(benchmark::State& state) {
    exportFile(state, manyRegions(), vx::RenderOptions::Format::Svg, false, true);
}
void BM_Pdf_1080p_ManyRegions(benchmark::State& state) {
    exportFile(state, manyRegions(), vx::RenderOptions::Format::Pdf);
}
void BM_Svg_1080p_Plain(benchmark::State& state) {
    exportFile(state, plainPattern(), vx::RenderOptions::Format::Svg);
}
void BM_Pdf_1080p_Plain(benchmark::State& state) {
    exportFile(state, plainPattern(), vx::RenderOptions::Format::Pdf);
}

// The regions in bands of 256 shades: more colours than a palette holds, so RGB rows.
void BM_Png_1080p_ManyColours(benchmark::State& state) {
    vx::Surface s = vx::renderDrawing(manyRegions());
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) s.setPixel(x, y, s.pixel(x, y) ^ ((y & 0xFF) << 8));
    vx::PictureFile f;
    f.format = vx::RenderOptions::Format::Png;
    encodeAll(state, s, f);
}

// "--scale 4" of a 1920 x 1080 pattern: 7680 x 4320.
void BM_Poster_8K(benchmark::State& state) {
    vx::RenderOptions o;
    const vx::Surface s = vx::renderDrawing(*vx::renderedDrawing(o, 20240607));
    vx::PictureFile f;
    f.scale = 4;
    encodeAll(state, s, f);
}

} // namespace

BENCHMARK(BM_Svg_1080p_ManyRegions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Svg_1080p_ManyRegions_Traced_Whole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Svg_1080p_ManyRegions_Plotter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pdf_1080p_ManyRegions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Svg_1080p_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pdf_1080p_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png_1080p_ManyColours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Poster_8K)->Unit(benchmark::kMillisecond);
