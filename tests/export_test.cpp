// The "Export" menu, single tiles of patterns and the symmetry of traced outlines.
#include "app/events.hpp"
#include "app/export.hpp"
#include "app/startup.hpp"
#include "export/trace.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

using namespace vx;

namespace {

struct AnsweringPlatform : vx::testing::ScriptedPlatform {
    std::optional<std::string> file;
    std::optional<int> factor;
    std::optional<SurfaceSize> screen;
    std::string suggested, numberLabel;
    std::optional<std::string> askSaveFile(const std::string&, const std::string& s,
                                           const std::string&) override {
        suggested = s;
        return file;
    }
    std::optional<int> askNumber(const std::string&, const std::string& label, int, int,
                                 int) override {
        numberLabel = label;
        return factor;
    }
    std::optional<SurfaceSize> screenPixels() override { return screen; }
    std::optional<double> dpi;
    std::optional<double> screenDotsPerInch() override { return dpi; }
    std::optional<std::vector<int>> form;
    bool busy = false;
    std::string caption;
    std::optional<std::vector<int>> askForm(const std::string&,
                                            const std::vector<FormQuestion>&) override {
        return form;
    }
    bool runInBackground(BackgroundWork w) override {
        if (busy) return false;
        caption = w.caption;
        if (cancel) status(w.run([](double done) { return done < 0.5; }));
        return cancel || ScriptedPlatform::runInBackground(std::move(w));
    }
    bool cancel = false;
};

std::string readAll(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Width x height from a PNG's header.
std::string pngSize(const std::string& png) {
    auto be = [&](size_t o) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4 && o + i < png.size(); ++i)
            v = v << 8 | static_cast<unsigned char>(png[o + i]);
        return std::to_string(v);
    };
    return be(16) + " x " + be(20);
}

// The dots per metre across that a PNG's pHYs states; 0 without one.
uint32_t pngDotsPerMetre(const std::string& png) {
    const size_t at = png.find("pHYs");
    uint32_t v = 0;
    for (size_t i = 0; at != std::string::npos && i < 4 && at + 4 + i < png.size(); ++i)
        v = v << 8 | static_cast<unsigned char>(png[at + 4 + i]);
    return v;
}

std::vector<std::string> folderFiles() {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator("."))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

struct ExportMenu : ::testing::Test {
    vx::testing::InEmptyFolder folder;
    AnsweringPlatform platform;
    Shapes sh{platform};
    void click(const char* name) { ASSERT_TRUE(programEvents().click(sh, name)) << name; }
    void draw(const char* kind) {
        startup(sh);
        command4Click(sh);
        mainLoopTick(sh);
        sh.surface.resize(400, 300);
        click(kind);
        click("Command1");
    }
    std::string where(const std::string& file) const {
        return file + " in " + std::filesystem::current_path().string() + ".";
    }
};

} // namespace

TEST_F(ExportMenu, WithoutADrawingOrAnAnswerNothingIsWrittenAndTheStatusSaysWhy) {
    platform.file = "x.svg";
    platform.factor = 2;
    platform.screen = SurfaceSize{64, 48};
    for (auto [item, said] :
         {std::pair{"exportsvg", "Nothing has been drawn yet, so there is nothing to export."},
          {"exportpdf", "Nothing has been drawn yet, so there is nothing to export."},
          {"poster", "Nothing has been drawn yet, so there is nothing to make a poster of."},
          {"wallpaper",
           "Nothing has been drawn yet, so there is nothing to make a wallpaper of."}}) {
        click(item);
        EXPECT_EQ(platform.lastStatus, said);
    }
    draw("cpattern");
    platform.file.reset();
    platform.factor.reset();
    platform.screen.reset();
    for (auto [item, said] :
         {std::pair{"exportsvg", "Nothing was exported."},
          {"exportpdf", "Nothing was exported."},
          {"poster", "No poster was saved."},
          {"wallpaper", "The size of the screen is not known, so no wallpaper was saved."}}) {
        click(item);
        EXPECT_EQ(platform.lastStatus, said);
    }
    // A folder in the way is named, and nothing replaces it.
    std::filesystem::create_directory("in-the-way.svg");
    platform.file = "in-the-way.svg";
    click("exportsvg");
    EXPECT_EQ(platform.lastStatus.rfind("The pattern was not exported as in-the-way.svg: ", 0), 0u)
        << platform.lastStatus;
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"in-the-way.svg"});
}

TEST_F(ExportMenu, EachItemWritesItsFileAndSaysWhatAndWhere) {
    draw("cpattern");
    platform.dpi = 120;
    platform.file = "pattern1.svg";
    click("exportsvg");
    EXPECT_EQ(platform.suggested, "pattern1.svg");
    EXPECT_EQ(platform.lastStatus, "Exported the pattern as " + where("pattern1.svg"));
    // At the screen's size on paper, with the outline as the pens drew it.
    const std::string svg = readAll("pattern1.svg");
    EXPECT_NE(svg.find("width=\"3.333333in\" height=\"2.5in\""), std::string::npos);
    EXPECT_NE(svg.find("stroke=\"#010000\""), std::string::npos);
    platform.file = "pattern1.pdf";
    click("exportpdf");
    EXPECT_EQ(readAll("pattern1.pdf").rfind("%PDF-1.4", 0), 0u);

    platform.factor = 3;
    click("poster");
    EXPECT_EQ(platform.numberLabel, "Make the pattern larger by (1 to 16):");
    EXPECT_EQ(pngSize(readAll("poster1.png")), "1200 x 900");
    EXPECT_EQ(pngDotsPerMetre(readAll("poster1.png")), 4724u);
    EXPECT_EQ(platform.lastStatus,
              "Saved the poster (1200 x 900, 3 times the pattern) as " + where("poster1.png"));

    platform.screen = SurfaceSize{640, 360};
    click("wallpaper");
    EXPECT_EQ(pngSize(readAll("wallpaper1.png")), "640 x 360");
    EXPECT_EQ(pngDotsPerMetre(readAll("wallpaper1.png")), 4724u);
    EXPECT_EQ(platform.lastStatus,
              "Saved a 640 x 360 wallpaper of this pattern as " + where("wallpaper1.png"));

    // A single shape: its picture, and the pattern of its settings as the wallpaper.
    click("csingle");
    click("Command1");
    platform.file = "shape1.svg";
    click("exportsvg");
    EXPECT_EQ(platform.suggested, "shape1.svg");
    EXPECT_EQ(platform.lastStatus, "Exported the shape as " + where("shape1.svg"));
    click("wallpaper");
    EXPECT_EQ(pngSize(readAll("wallpaper2.png")), "640 x 360");
    EXPECT_EQ(platform.lastStatus, "Saved a 640 x 360 wallpaper of the pattern of this shape's "
                                   "settings as " +
                                       where("wallpaper2.png"));
}

TEST_F(ExportMenu, AnUnknownScreenIs96DotsAnInchAndAnOutlineNotMadeAgainIsTracedAndSaidSo) {
    draw("cpattern");
    platform.factor = 1;
    click("poster");
    EXPECT_EQ(pngDotsPerMetre(readAll("poster1.png")), 3780u);
    // The drawing on screen is no longer the one its code makes.
    sh.lastDrawing->seed += 1;
    platform.file = "p.svg";
    click("exportsvg");
    EXPECT_EQ(platform.lastStatus, "Exported the pattern as p.svg in " +
                                       std::filesystem::current_path().string() +
                                       "; the outline is traced from the pixels, as the drawing "
                                       "could not be made again.");
    const std::string svg = readAll("p.svg");
    EXPECT_NE(svg.find("width=\"4.166666in\""), std::string::npos);
    EXPECT_EQ(svg.find("stroke="), std::string::npos);
    EXPECT_NE(svg.find("inkscape:label=\"outline #010000\" fill=\"#010000\""), std::string::npos);
    // A shape's surroundings stay clear all the same.
    click("csingle");
    click("Command1");
    sh.lastDrawing->seed += 1;
    platform.file = "s.svg";
    click("exportsvg");
    EXPECT_NE(platform.lastStatus.find("; the outline is traced from the pixels"),
              std::string::npos);
    EXPECT_EQ(readAll("s.svg").find("label=\"#000000\""), std::string::npos);
}

TEST_F(ExportMenu, RecordVideoWritesTheNextNumberedVideoAtTheWindowsSize) {
    click("recordvideo");
    EXPECT_EQ(platform.lastStatus, "Nothing has been drawn yet, so there is nothing to record.");
    draw("cpattern");
    click("recordvideo");
    EXPECT_EQ(platform.lastStatus, "No video was recorded.");

    // H.264 takes an even size: the window's is cut by a pixel.
    sh.surface.resize(401, 301);
    std::ofstream("video1.mp4") << "another program's";
    platform.form = std::vector<int>{2, 0, 0};
    click("recordvideo");
    EXPECT_EQ(platform.caption, "Recording video2.mp4");
    EXPECT_EQ(platform.lastStatus, "Recorded 2 s of screen-saver mode (400 x 300, 30 frames a "
                                   "second) as " +
                                       where("video2.mp4"));
    EXPECT_EQ(readAll("video2.mp4").substr(4, 4), "ftyp");
    EXPECT_EQ(readAll("video1.mp4"), "another program's");

    click("csingle");
    click("Command1");
    platform.form = std::vector<int>{1, 3, 0};
    click("recordvideo");
    EXPECT_EQ(platform.lastStatus, "Recorded 1 s of screen-saver mode (401 x 301, 30 frames a "
                                   "second) as " +
                                       where("video1.gif"));
    // A growing shape is as large as its picture.
    platform.form = std::vector<int>{1, 0, 1};
    click("recordvideo");
    EXPECT_EQ(platform.lastStatus, "Recorded 1 s of the growth of this drawing (202 x 202, 30 "
                                   "frames a second) as " +
                                       where("video3.mp4"));
    platform.cancel = true;
    click("recordvideo");
    EXPECT_EQ(platform.lastStatus, "The recording was cancelled; no video was written.");
    platform.busy = true;
    click("recordvideo");
    EXPECT_EQ(platform.lastStatus, "A video is being recorded already: wait for it, or cancel it.");
    EXPECT_EQ(folderFiles(),
              (std::vector<std::string>{"video1.gif", "video1.mp4", "video2.mp4", "video3.mp4"}));
}

TEST(PatternTile, RepeatedFromOneOneItIsThePatternExactly) {
    for (auto [seed, size, w, h] : {std::tuple{1, "200", 640, 480},
                                    {2, "40", 300, 200},
                                    {3, "400", 900, 700},
                                    {4, "155", 333, 222}}) {
        RenderOptions o;
        o.size = size;
        o.width = w;
        o.height = h;
        const Drawing d = *renderedDrawing(o, seed);
        int s = 0;
        const Surface whole = renderDrawing(d, &s);
        const Result<Surface> tile = patternTile(d);
        ASSERT_TRUE(tile) << tile.error().message;
        const int p = s - 1;
        ASSERT_EQ(tile->width(), p);
        ASSERT_EQ(tile->height(), p);
        EXPECT_EQ(repeatPeriod(whole), p) << seed;
        long wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                wrong += whole.pixel(x, y) != tile->pixel((x - 1 + p) % p, (y - 1 + p) % p);
        EXPECT_EQ(wrong, 0) << seed;
    }
    Drawing shape;
    shape.kind = DrawingKind::Shape;
    EXPECT_FALSE(patternTile(shape));
    RenderOptions small;
    small.width = small.height = 100;
    const Result<Surface> none = patternTile(*renderedDrawing(small, 1));
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error().message,
              "the surface (100 x 100) is smaller than one tile of the pattern (200 x 200)");
}

TEST(VectorTrace, EachLayerMapsOntoItselfUnderTheEightSymmetries) {
    for (auto [pattern, seed, colours] : {std::tuple{false, 1, RenderOptions::Colours::User},
                                          {false, 7, RenderOptions::Colours::True},
                                          {true, 5, RenderOptions::Colours::Basic}}) {
        RenderOptions o;
        o.pattern = pattern;
        o.colours = colours;
        o.width = o.height = 420;
        const Drawing d = *renderedDrawing(o, seed);
        Surface square;
        if (pattern) {
            square = *patternTile(d);
        } else {
            // The shape's square inside its picture's frame.
            const Surface picture = renderDrawing(d);
            const std::optional<MirrorSquare> m = symmetricSquare(picture);
            ASSERT_TRUE(m);
            square = Surface(m->n, m->n);
            square.paint(picture, 0, 0, m->x, m->y, m->n, m->n);
        }
        const VecDrawing traced = traceSurface(square);
        ASSERT_GE(traced.layers.size(), 2u);
        EXPECT_EQ(traced.layers.back().colour, kBorder) << "the outline colour is on top";
        const double c = square.width() / 2.0;
        for (const VecLayer& l : traced.layers) {
            std::multiset<std::pair<long, long>> points;
            auto add = [&](VecPoint q) {
                points.insert({std::lround(q.x * 100), std::lround(q.y * 100)});
            };
            for (const VecOutline& ol : l.outlines)
                for (const VecSegment& s : ol.segments) {
                    if (s.curve) add(s.c1), add(s.c2);
                    add(s.to);
                }
            auto image = [&](auto f) {
                std::multiset<std::pair<long, long>> out;
                for (auto [x, y] : points) {
                    auto [u, v] = f(x / 100.0 - c, y / 100.0 - c);
                    out.insert({std::lround((u + c) * 100), std::lround((v + c) * 100)});
                }
                return out;
            };
            EXPECT_EQ(image([](double u, double v) { return std::pair{-u, v}; }), points);
            EXPECT_EQ(image([](double u, double v) { return std::pair{v, u}; }), points);
        }
    }
}
