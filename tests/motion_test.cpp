// Recordings of screen-saver mode and of a drawing being made: the frames, and the files read
// back with FFmpeg's and libwebp's own tools.
#include "app/growth.hpp"
#include "app/motion.hpp"
#include "app/render.hpp"
#include "export/png.hpp"
#include "small_disk.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <tuple>

using namespace vx;
namespace fs = std::filesystem;

namespace {

std::string output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[65536];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

bool haveTools() {
    return std::system("command -v ffmpeg && command -v ffprobe && command -v webpmux && "
                       "command -v webpinfo >/dev/null 2>&1") == 0;
}

Drawing first(bool pattern, uint64_t seed, int w, int h) {
    RenderOptions o;
    o.pattern = pattern;
    o.width = w;
    o.height = h;
    o.size = "40";
    o.colours = RenderOptions::Colours::True;
    return *renderedDrawing(o, seed);
}

// Luma as HD video has it (BT.709, studio range); a picture in RGB is converted, a frame of a
// 4:2:0 video is taken as it is.
std::string luma(const std::string& file, int frame, bool yuv) {
    const std::string select = frame < 0 ? "" : "select=eq(n\\," + std::to_string(frame) + "),";
    const std::string convert =
        yuv ? "" : "format=rgb24,scale=out_color_matrix=bt709:out_range=tv,format=yuv420p,";
    return output("ffmpeg -v error -i '" + file + "' -vf '" + select + convert +
                  "extractplanes=y' -frames:v 1 -f rawvideo - 2>/dev/null");
}

double psnr(const std::string& a, const std::string& b) {
    if (a.empty() || a.size() != b.size()) return 0;
    double se = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
        se += d * d;
    }
    return se == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * a.size() / se);
}

std::string stillLuma(const Surface& s, const std::string& name) {
    std::ofstream(name, std::ios::binary) << *encodePng(s);
    return luma(name, -1, false);
}

// The sum of the frames' durations in what webpmux -info says.
long lengthMs(const std::string& info) {
    long ms = 0;
    const std::regex row(R"(^ *\d+: +\d+ +\d+ +\w+ +\d+ +\d+ +(\d+))");
    std::istringstream lines(info);
    for (std::string line; std::getline(lines, line);)
        if (std::smatch mt; std::regex_search(line, mt, row)) ms += std::stol(mt[1]);
    return ms;
}

// Left and top of what is not the black around a gliding picture.
std::pair<int, int> pictureAt(const Surface& f) {
    int left = f.width(), top = f.height();
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x)
            if (f.pixel(x, y) != kBorder) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
    return {left, top};
}

// Frames of more colours than a GIF's palette (1200 flat blocks) that move.
class Gradient : public FrameSource {
  public:
    const Surface& next(bool& same) override {
        same = false;
        for (int y = 0; y < f_.height(); ++y)
            for (int x = 0; x < f_.width(); ++x)
                f_.setPixel(x, y, ((x / 8 + n_) % 40) * 6 | (y / 8 % 30) * 8 << 8 | 0x400000);
        ++n_;
        return f_;
    }
    Surface f_{320, 240};
    int n_ = 0;
};

} // namespace

TEST(SaverFrames, PatternsReplaceEachOtherAndShapesGlideAtTheWindowsSpeed) {
    SaverMotion m;
    m.first = first(true, 11, 200, 150);
    m.seconds = 1;
    m.fps = 5;
    std::vector<Drawing> shown;
    SaverFrames patterns(m, [&](const Drawing& d) { shown.push_back(d); });
    for (int i = 0; i < 11; ++i) {
        bool same = true;
        const Surface& f = patterns.next(same);
        EXPECT_EQ(same, i % 5 != 0) << i;
        if (i % 5 == 0) {
            EXPECT_EQ(f, renderDrawing(shown.back())) << i;
        }
    }
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].seed, 11u);
    EXPECT_NE(shown[1].seed, shown[2].seed);

    // Along each axis 240 pixels a second at "Fast", 60 at "Slow", bouncing off the edges;
    // a new shape every period carries on where the last one was.
    for (bool slow : {false, true}) {
        m.first = first(false, 12, 320, 240);
        m.slow = slow;
        m.fps = 30;
        SaverFrames a(m), b(m);
        const int step = slow ? 2 : 8;
        std::pair<int, int> last{-1, -1};
        for (int i = 0; i < 75; ++i) {
            bool same = true;
            const Surface& f = a.next(same);
            EXPECT_FALSE(same);
            EXPECT_EQ(f, b.next(same)) << "the same motion makes the same frames";
            const auto at = pictureAt(f);
            EXPECT_TRUE(at.first >= 0 && at.first <= 280 && at.second >= 0 && at.second <= 200);
            if (i > 0) {
                EXPECT_EQ(std::abs(at.first - last.first), step) << i;
                EXPECT_EQ(std::abs(at.second - last.second), step) << i;
            }
            last = at;
        }
    }
}

// Pixels of the frame whose colour is c, as a mask.
std::vector<bool> where(const Surface& f, int32_t c) {
    std::vector<bool> m;
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x) m.push_back(f.pixel(x, y) == c);
    return m;
}

bool uncoloured(const Surface& f) {
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x)
            if (int32_t c = f.pixel(x, y); c != kWhite && c != kBorder && c != kPictureBack)
                return false;
    return true;
}

TEST(GrowthFrames, FromWhiteThroughTheOutlineToTheStillInEveryColourModeAndKind) {
    struct Case {
        double tcolor, tcolor2, sides;
    };
    const Case modes[] = {{kBasicColours, 0, 4},
                          {kTrueColours, 0, 8},
                          {kTrueColours, 1, 4}, // the largest areas repainted from the list
                          {kImportedColours, 1, 8}};
    for (bool pattern : {true, false})
        for (const Case& c : modes) {
            Drawing d = first(pattern, 40 + static_cast<uint64_t>(c.tcolor), 300, 220);
            d.settings.size = pattern ? 90 : 120;
            d.settings.sides = c.sides;
            d.settings.colour = {c.tcolor, c.tcolor2, {255, -3, 65280}, {4210752, 33023, 8421376}};
            const Surface still = renderDrawing(d);
            const auto at = ::testing::Message() << (pattern ? "pattern" : "shape") << " mode "
                                                 << c.tcolor << " list " << c.tcolor2;
            // 40 frames: the making takes 34, the finished drawing the last 6.
            GrowthFrames g(d, 40);
            Surface before, lastUncoloured;
            int lastChange = -1;
            for (int i = 0; i < 40; ++i) {
                bool same = false;
                const Surface f = g.next(same);
                ASSERT_EQ(f.width(), still.width()) << at;
                if (i == 0) {
                    // White, but for the black ring of a shape's picture.
                    const std::vector<bool> white = where(f, kWhite);
                    EXPECT_EQ(std::count(white.begin(), white.end(), false),
                              pattern ? 0 : 4 * (f.width() - 1))
                        << at;
                }
                if (same) {
                    EXPECT_TRUE(f == before) << at << " frame " << i;
                }
                if (!same) lastChange = i;
                if (uncoloured(f)) lastUncoloured = f;
                before = f;
            }
            EXPECT_EQ(lastChange, 33) << at;
            EXPECT_TRUE(before == still) << at;
            // A pattern's outline is copied over the surface before any region is filled.
            if (pattern) {
                EXPECT_EQ(where(lastUncoloured, kBorder), where(still, kBorder)) << at;
            }
        }
}

TEST(MotionFiles, GrowthEndsOnTheStill) {
    if (!haveTools()) GTEST_SKIP() << "ffmpeg or webp is not installed (scripts/deps)";
    vx::testing::InEmptyFolder folder;
    RenderOptions o;
    o.width = 320, o.height = 240, o.size = "60", o.growth = true, o.length = 2, o.fps = 10;
    o.colours = RenderOptions::Colours::User;
    using F = RenderOptions::Format;
    for (auto [name, format, pattern] :
         {std::tuple{"p.mp4", F::Mp4, true}, {"p.webm", F::WebM, true}, {"s.mp4", F::Mp4, false}}) {
        o.output = name, o.format = format, o.pattern = pattern;
        const Drawing d = *renderedDrawing(o, 51);
        ASSERT_TRUE(recordRendered(o, d, {})) << name;
        const std::string probe = output("ffprobe -v error -count_frames -show_entries "
                                         "stream=width,nb_read_frames:format=duration -of "
                                         "default=nw=1 " +
                                         std::string(name));
        EXPECT_NE(probe.find(pattern ? "width=320" : "width=62"), std::string::npos) << probe;
        EXPECT_NE(probe.find("nb_read_frames=20\nduration=2.0"), std::string::npos) << probe;
        EXPECT_GE(psnr(luma(name, 19, true), stillLuma(renderDrawing(d), "still.png")), 35) << name;
    }
    o.frames = "frames", o.pattern = true;
    const Drawing d = *renderedDrawing(o, 52);
    ASSERT_TRUE(recordRendered(o, d, {}));
    EXPECT_TRUE(fs::exists("frames/frame00020.png") && !fs::exists("frames/frame00021.png"));
    std::ofstream("still.png", std::ios::binary) << *encodePng(renderDrawing(d));
    const std::string rgb = " -f rawvideo -pix_fmt rgb24 - 2>/dev/null";
    EXPECT_EQ(output("ffmpeg -v error -i frames/frame00020.png" + rgb),
              output("ffmpeg -v error -i still.png" + rgb));
}

TEST(MotionFiles, ReadBackWithFfprobeFfmpegAndWebpmux) {
    if (!haveTools()) GTEST_SKIP() << "ffmpeg or webp is not installed (scripts/deps)";
    vx::testing::InEmptyFolder folder;
    struct Case {
        MotionFormat format;
        const char* codec;
        const char* pixels;
        int frames;         // as decoded: repeated frames of a GIF are one longer frame
        bool yuv;           // 4:2:0 video, compared as decoded
        int framesShown[3]; // the decoded frame showing each drawing
    };
    const Case cases[] = {
        {MotionFormat::Mp4, "h264", "yuv420p", 30, true, {0, 10, 29}},
        {MotionFormat::WebM, "vp9", "yuv420p", 30, true, {0, 10, 29}},
        {MotionFormat::Gif, "gif", "bgra", 4, false, {0, 1, 2}},
    };
    SaverMotion m;
    m.first = first(true, 21, 320, 240);
    m.seconds = 1;
    m.fps = 10;
    for (const Case& c : cases) {
        std::vector<Drawing> shown;
        SaverFrames source(m, [&](const Drawing& d) { shown.push_back(d); });
        const MotionSettings video{320, 240, 10, c.format};
        const std::string name = std::string("v") + motionSuffix(c.format);
        ASSERT_TRUE(recordMotion(source, video, 30, MotionTarget{name, "", ""})) << name;
        const std::string probe = output(
            "ffprobe -v error -count_frames -show_entries stream=codec_name,width,height,pix_fmt,"
            "nb_read_frames:format=duration -of default=nw=1 " +
            name);
        EXPECT_NE(probe.find("codec_name=" + std::string(c.codec)), std::string::npos) << probe;
        EXPECT_NE(probe.find("width=320\nheight=240"), std::string::npos) << probe;
        EXPECT_NE(probe.find("pix_fmt=" + std::string(c.pixels)), std::string::npos) << probe;
        EXPECT_NE(probe.find("nb_read_frames=" + std::to_string(c.frames)), std::string::npos)
            << probe;
        EXPECT_NE(probe.find("duration=3.0"), std::string::npos) << probe;
        for (int k = 0; k < 3; ++k)
            EXPECT_GE(psnr(luma(name, c.framesShown[k], c.yuv),
                           stillLuma(renderDrawing(shown[k]), "still.png")),
                      35)
                << name << " drawing " << k;
    }
    // A gliding shape is sent as what changed; frames of many colours get a palette made for
    // them.
    for (bool glide : {true, false}) {
        SaverMotion g = m;
        g.first = first(false, 23, 320, 240);
        SaverFrames shapes(g), again(g);
        Gradient many, manyAgain;
        FrameSource& source = glide ? static_cast<FrameSource&>(shapes) : many;
        ASSERT_TRUE(recordMotion(source, {320, 240, 10, MotionFormat::Gif}, 20, {"g.gif", "", ""}));
        bool same = false;
        Surface frame;
        for (int i = 0; i < 13; ++i) frame = glide ? again.next(same) : manyAgain.next(same);
        EXPECT_GE(psnr(luma("g.gif", 12, false), stillLuma(frame, "frame.png")), glide ? 99 : 35);
    }

    // Browsers play an MP4 as it loads: the index comes before the frames.
    const std::string mp4 = output("cat v.mp4");
    EXPECT_LT(mp4.find("moov"), mp4.find("mdat"));

    // The animated WebP, and one written in two segments (240 frames that change, then more).
    SaverFrames patterns(m);
    ASSERT_TRUE(recordMotion(patterns, {320, 240, 10, MotionFormat::WebP}, 30, {"p.webp", "", ""}));
    std::string info = output("webpmux -info p.webp");
    EXPECT_NE(info.find("Canvas size: 320 x 240"), std::string::npos) << info;
    EXPECT_NE(info.find("Number of frames: 3"), std::string::npos) << info;
    EXPECT_EQ(lengthMs(info), 3000);
    output("webpmux -get frame 1 p.webp -o f1.webp");
    EXPECT_EQ(psnr(luma("f1.webp", -1, false), stillLuma(renderDrawing(m.first), "still.png")), 99);
    m.first = first(false, 22, 320, 240);
    m.fps = 30;
    SaverFrames glide(m);
    ASSERT_TRUE(recordMotion(glide, {320, 240, 30, MotionFormat::WebP}, 300, {"g.webp", "", ""}));
    EXPECT_NE(output("webpinfo g.webp").find("No error detected."), std::string::npos);
    info = output("webpmux -info g.webp");
    EXPECT_NE(info.find("Number of frames: 300"), std::string::npos) << info;
    EXPECT_EQ(lengthMs(info), 10000);
}

TEST(MotionFiles, ACancelOrAFullDiskLeavesNoFile) {
    {
        vx::testing::InEmptyFolder folder;
        SaverMotion m;
        m.first = first(true, 31, 160, 120);
        SaverFrames source(m);
        const Result<std::string> r =
            recordMotion(source, {160, 120, 10, MotionFormat::Mp4}, 30, {"", "video", ""},
                         [](long done) { return done < 5; });
        ASSERT_FALSE(r);
        EXPECT_EQ(r.error().message, kRecordingCancelled);
        EXPECT_TRUE(fs::is_empty("."));
    }
    vx::testing::SmallDisk disk;
    VORTALIS_NEED_DISK(disk);
    for (MotionFormat f : {MotionFormat::WebM, MotionFormat::WebP, MotionFormat::Gif}) {
        SaverMotion m;
        // Four seconds of gliding shapes take more than the disk's 64 KB in each format.
        m.first = first(false, 32, 640, 480);
        m.first.settings.size = 200;
        m.seconds = 1;
        SaverFrames source(m);
        const Result<std::string> r =
            recordMotion(source, {640, 480, 30, f}, 120, {"", "video", ""});
        ASSERT_FALSE(r) << motionSuffix(f);
        EXPECT_NE(r.error().message.find("No space left on device"), std::string::npos)
            << r.error().message;
        EXPECT_TRUE(fs::is_empty(disk.path())) << motionSuffix(f);
    }
}
