// Files that leave the program at full quality, read back by Qt and by third-party readers.
#include "app/export.hpp"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

using namespace vx;

namespace {

int32_t colourAt(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return qRed(c) | qGreen(c) << 8 | qBlue(c) << 16;
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

bool haveTool(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

Surface drawingOf(bool pattern, uint64_t seed, RenderOptions::Colours colours) {
    RenderOptions o;
    o.pattern = pattern;
    o.colours = colours;
    o.width = 480;
    o.height = 360;
    return renderDrawing(*renderedDrawing(o, seed));
}

// The share of pixels of the rendered file that are exactly the raster's.
double agreement(const Surface& raster, const QImage& rendered) {
    if (rendered.width() != raster.width() || rendered.height() != raster.height()) return 0;
    long same = 0;
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x)
            same += colourAt(rendered, x, y) == raster.pixel(x, y);
    return static_cast<double>(same) / (static_cast<double>(raster.width()) * raster.height());
}

} // namespace

TEST(Poster, EveryPixelIsAnExactBlockAndFewColoursMakeAPalettePng) {
    Surface many(20, 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x) many.setPixel(x, y, (y * 20 + x) * 40503); // 300 colours
    struct Case {
        Surface picture;
        int scale;
        bool palette;
    };
    for (const Case& c :
         {Case{drawingOf(true, 3, RenderOptions::Colours::Basic), 3, true},
          Case{drawingOf(false, 4, RenderOptions::Colours::True), 2, true}, Case{many, 5, false}}) {
        PictureFile f;
        f.scale = c.scale;
        const Result<std::string> png = encodePicture(c.picture, f);
        ASSERT_TRUE(png);
        const QImage img = QImage::fromData(reinterpret_cast<const uchar*>(png->data()),
                                            static_cast<int>(png->size()), "PNG");
        ASSERT_EQ(img.width(), c.picture.width() * c.scale);
        ASSERT_EQ(img.height(), c.picture.height() * c.scale);
        EXPECT_EQ(img.format() == QImage::Format_Indexed8, c.palette) << img.format();
        long wrong = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                wrong += colourAt(img, x, y) != c.picture.pixel(x / c.scale, y / c.scale);
        EXPECT_EQ(wrong, 0);
    }
}

TEST(VectorFiles, ThirdPartyReadersRenderThemAsTheRasterAtItsOwnSize) {
    if (!haveTool("rsvg-convert") || !haveTool("pdftocairo") || !haveTool("pdftoppm"))
        GTEST_SKIP() << "rsvg-convert, pdftocairo or pdftoppm is missing";
    using C = RenderOptions::Colours;
    double lowest = 1;
    for (auto [pattern, seed, colours] : {std::tuple{true, 11, C::True},
                                          {true, 12, C::User},
                                          {true, 13, C::Basic},
                                          {false, 21, C::True},
                                          {false, 22, C::User},
                                          {false, 23, C::Basic}}) {
        const Surface raster = drawingOf(pattern, seed, colours);
        PictureFile f;
        f.format = RenderOptions::Format::Svg;
        writeFile("d.svg", *encodePicture(raster, f));
        f.format = RenderOptions::Format::Pdf;
        writeFile("d.pdf", *encodePicture(raster, f));
        ASSERT_EQ(std::system("rsvg-convert -b white d.svg -o svg.png"), 0);
        // Both draw without smoothing at pixel centres; pdftoppm checks the file is sound.
        ASSERT_EQ(std::system("pdftocairo -png -r 96 -antialias none -singlefile d.pdf pdf"), 0);
        ASSERT_EQ(std::system("pdftoppm -r 96 -png -singlefile d.pdf check"), 0);
        EXPECT_EQ(QImage("check.png").size(), QSize(raster.width(), raster.height()));
        for (const char* rendered : {"svg.png", "pdf.png"}) {
            const double share = agreement(raster, QImage(rendered));
            lowest = std::min(lowest, share);
            EXPECT_GE(share, 0.98) << rendered << " of seed " << seed;
        }
    }
    std::printf("lowest pixel agreement %.4f\n", lowest);
}
