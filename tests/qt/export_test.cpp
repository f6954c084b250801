// Files that leave the program at full quality, read back by Qt and by third-party readers.
#include "../scratch_folder.hpp"
#include "app/export.hpp"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>

using namespace vx;

namespace {

int32_t colourAt(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return qRed(c) | qGreen(c) << 8 | qBlue(c) << 16;
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

int luminance(QRgb c) {
    return (299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c) + 500) / 1000;
}

// A reader's rendering of a vector file against the raster, on white paper. Where the
// rendering is fully transparent (round a single shape), the raster counts as the paper too.
struct Comparison {
    long pixels = 0, same = 0;
    long seams = 0;             // opaque pixels lighter than all nine raster pixels round them
    long transparentColour = 0; // transparent pixels over a colour of the drawing
    double sameShare() const { return static_cast<double>(same) / static_cast<double>(pixels); }
};

Comparison compare(const Surface& raster, const QImage& file) {
    Comparison c;
    const int w = raster.width(), h = raster.height();
    if (file.width() != w || file.height() != h) return c;
    const QImage img = file.convertToFormat(QImage::Format_ARGB32);
    std::vector<QRgb> paper(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int32_t v = raster.pixel(x, y);
            const bool clear = qAlpha(img.pixel(x, y)) == 0;
            c.transparentColour += clear && v != kBorder && v != kPictureBack;
            paper[static_cast<size_t>(y) * w + x] =
                clear ? qRgb(255, 255, 255) : qRgb(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = img.pixel(x, y);
            const int a = qAlpha(p);
            auto onPaper = [&](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
            const QRgb shown = qRgb(onPaper(qRed(p)), onPaper(qGreen(p)), onPaper(qBlue(p)));
            int lightest = 0;
            for (int j = std::max(0, y - 1); j <= std::min(h - 1, y + 1); ++j)
                for (int i = std::max(0, x - 1); i <= std::min(w - 1, x + 1); ++i)
                    lightest = std::max(lightest, luminance(paper[static_cast<size_t>(j) * w + i]));
            c.seams += a == 255 && luminance(shown) > lightest + 8;
            c.same += (shown & 0xFFFFFF) == (paper[static_cast<size_t>(y) * w + x] & 0xFFFFFF);
            ++c.pixels;
        }
    return c;
}

std::string hex(int32_t c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return buf;
}

struct VectorFiles : vx::scratch::ScratchFolder {};

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

// Smoothed by rsvg, no seam lets the paper through; with crisp edges forced (and through
// poppler) the file is the raster's geometry; every colour is there, and round a single shape
// the page is clear.
TEST_F(VectorFiles, SeamlessAndTheRastersGeometryInRsvgAndPoppler) {
    if (!haveTool("rsvg-convert") || !haveTool("pdftocairo") || !haveTool("pdftoppm"))
        GTEST_SKIP() << "rsvg-convert, pdftocairo or pdftoppm is missing";
    using C = RenderOptions::Colours;
    struct Case {
        bool pattern;
        uint64_t seed;
        C colours;
        const char* size; // the shape square's or tile's side
        bool tile;
    };
    Comparison all;
    double lowest = 1;
    for (const Case& k : {Case{true, 11, C::True, "200", false},
                          {true, 12, C::User, "60", false},
                          {true, 13, C::Basic, "400", false},
                          {true, 14, C::True, "150", true},
                          {false, 21, C::True, "200", false},
                          {false, 22, C::User, "400", false},
                          {false, 23, C::Basic, "100", false}}) {
        RenderOptions o;
        o.pattern = k.pattern, o.colours = k.colours, o.size = k.size;
        o.width = 480, o.height = 360;
        PictureFile f;
        f.drawing = *renderedDrawing(o, k.seed);
        f.tile = k.tile;
        const Surface raster = k.tile ? *patternTile(*f.drawing) : renderDrawing(*f.drawing);
        f.format = RenderOptions::Format::Svg;
        const std::string svg = *encodePicture(raster, f);
        writeAll("d.svg", svg);
        writeAll("crisp.svg", std::regex_replace(svg, std::regex("<svg "),
                                                 "<svg shape-rendering=\"crispEdges\" "));
        f.format = RenderOptions::Format::Pdf;
        writeAll("d.pdf", *encodePicture(raster, f));
        ASSERT_EQ(std::system("rsvg-convert d.svg -o smooth.png && rsvg-convert crisp.svg -o "
                              "crisp.png && pdftocairo -png -r 96 -antialias none -transp "
                              "-singlefile d.pdf pdf && pdftoppm -r 96 -png -singlefile d.pdf "
                              "check"),
                  0);
        EXPECT_EQ(QImage("check.png").size(), QSize(raster.width(), raster.height()));
        const Comparison smooth = compare(raster, QImage("smooth.png"));
        ASSERT_EQ(smooth.pixels, static_cast<long>(raster.width()) * raster.height()) << k.seed;
        all.pixels += smooth.pixels, all.seams += smooth.seams;
        EXPECT_EQ(smooth.transparentColour, 0) << k.seed;
        for (const char* rendered : {"crisp.png", "pdf.png"}) {
            const double share = compare(raster, QImage(rendered)).sameShare();
            lowest = std::min(lowest, share);
            EXPECT_GE(share, 0.98) << rendered << " of seed " << k.seed;
        }
        // Every fill colour is a layer; the outline is drawn as lines.
        const QImage shown = QImage("smooth.png").convertToFormat(QImage::Format_ARGB32);
        std::set<int32_t> colours;
        for (int y = 0; y < raster.height(); ++y)
            for (int x = 0; x < raster.width(); ++x)
                if (qAlpha(shown.pixel(x, y)) == 255) colours.insert(raster.pixel(x, y));
        for (int32_t c : colours)
            EXPECT_NE(svg.find(c == kBorder ? "stroke=\"" + hex(c) : "label=\"" + hex(c)),
                      std::string::npos)
                << hex(c) << " of seed " << k.seed;
        // A shape's page is clear beyond its outline, in the SVG and the PDF.
        for (const char* rendered : {"smooth.png", "pdf.png"}) {
            if (k.pattern) continue;
            EXPECT_EQ(qAlpha(QImage(rendered).pixel(0, 0)), 0) << rendered << k.seed;
        }
    }
    EXPECT_LE(static_cast<double>(all.seams), 0.00002 * static_cast<double>(all.pixels));
    std::printf("seams %ld of %ld pixels; lowest agreement with crisp edges %.4f\n", all.seams,
                all.pixels, lowest);
}

namespace {

// Inkscape's --query-all of a file: each object's id and box, in CSS pixels, in order.
struct InkBox {
    std::string id;
    double x0, y0, x1, y1;
};

std::vector<InkBox> inkscapeBoxes(const std::string& file) {
    const std::string cmd = "inkscape --query-all " + file + " >boxes.txt 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) return {};
    std::vector<InkBox> out;
    std::ifstream in("boxes.txt");
    for (std::string line; std::getline(in, line);) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream words(line);
        InkBox b;
        double w = 0, h = 0;
        if (words >> b.id >> b.x0 >> b.y0 >> w >> h)
            out.push_back({b.id, b.x0, b.y0, b.x0 + w, b.y0 + h});
    }
    return out;
}

} // namespace

// Inkscape sees one layer per colour, the outline's on top, and nothing past the page: in the
// file as written (clipped to the page), and in the plotter's (cut at the page), at any size
// and resolution.
TEST_F(VectorFiles, InkscapeFindsTheLayersInOrderAndNothingPastThePage) {
    if (!haveTool("inkscape")) GTEST_SKIP() << "inkscape is missing";
    struct Case {
        bool pattern;
        const char* size;
        int width, height, dpi;
        bool plotter;
    };
    for (const Case& k : {Case{true, "200", 1000, 700, 96, false},
                          {true, "40", 333, 222, 150, false},
                          {true, "400", 300, 250, 96, false},
                          {false, "200", 0, 0, 72, false},
                          {true, "150", 555, 444, 96, true}}) {
        RenderOptions o;
        o.pattern = k.pattern, o.size = k.size;
        o.width = k.width > 0 ? k.width : 400, o.height = k.height > 0 ? k.height : 400;
        PictureFile f;
        f.format = RenderOptions::Format::Svg;
        f.drawing = *renderedDrawing(o, 31);
        f.dpi = k.dpi;
        f.plotter = k.plotter;
        const Surface raster = renderDrawing(*f.drawing);
        const std::string svg = *encodePicture(raster, f);
        writeAll("d.svg", svg);
        const auto at = ::testing::Message() << k.size << (k.plotter ? " plotter" : "");
        // Inches on paper, the drawing's pixels in the view box.
        const double w = raster.width(), h = raster.height();
        char size[128];
        std::snprintf(size, sizeof size, "viewBox=\"0 0 %d %d\"", raster.width(), raster.height());
        EXPECT_NE(svg.find(size), std::string::npos) << at;
        const double inch = std::strtod(svg.substr(svg.find("width=\"") + 7).c_str(), nullptr);
        EXPECT_NEAR(inch, w / k.dpi, 1e-5) << at;
        EXPECT_NE(svg.find("in\" height=\""), std::string::npos) << at;
        const double px = 96.0 / k.dpi; // Inkscape's pixels a drawing pixel
        const std::vector<InkBox> boxes = inkscapeBoxes("d.svg");
        ASSERT_GT(boxes.size(), 1u) << at;
        std::vector<std::string> layers;
        for (const InkBox& b : boxes) {
            const bool layer = b.id.rfind("colour-", 0) == 0 || b.id == "outline";
            if (layer) layers.push_back(b.id);
            if (!k.plotter && !layer && &b != &boxes.front()) continue;
            EXPECT_TRUE(b.x0 >= -0.01 && b.y0 >= -0.01 && b.x1 <= w * px + 0.01 &&
                        b.y1 <= h * px + 0.01)
                << b.id << " " << b.x0 << "," << b.y0 << " " << b.x1 << "," << b.y1 << " " << at;
        }
        ASSERT_FALSE(layers.empty()) << at;
        EXPECT_EQ(layers.back(), "outline") << at;
        if (k.plotter) {
            EXPECT_EQ(layers.size(), 1u);
            for (const char* absent : {"clip-path", "<use", "fill=\"#"})
                EXPECT_EQ(svg.find(absent), std::string::npos) << absent;
        } else {
            EXPECT_EQ(layers.front(), "colour-010000") << at;
            // Each a layer named by its colour.
            for (const std::string& id : layers) {
                if (id == "outline") continue;
                EXPECT_NE(svg.find("id=\"" + id +
                                   "\" inkscape:groupmode=\"layer\" "
                                   "inkscape:label=\"#" +
                                   id.substr(7) + "\""),
                          std::string::npos)
                    << id;
            }
        }
    }
}
