// vortalis-render: its options, the palette it reads, and the program run as a process.
#include "app/render.hpp"
#include "engine/bmp.hpp"
#include "small_disk.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

RenderArgs parse(std::vector<std::string> a) {
    return parseRenderArgs(a);
}

bool isBad(std::vector<std::string> a) {
    return parse(std::move(a)).status == RenderArgs::Status::Bad;
}

} // namespace

TEST(RenderOptions, DefaultsAndEveryOption) {
    RenderArgs r = parse({"-o", "x.bmp"});
    ASSERT_EQ(r.status, RenderArgs::Status::Ok);
    EXPECT_TRUE(r.options.pattern);
    EXPECT_FALSE(r.options.seed);
    EXPECT_EQ(r.options.width, 1920);
    EXPECT_EQ(r.options.height, 1080);
    EXPECT_FALSE(r.options.png);

    r = parse({"--shape",
               "--seed",
               "18446744073709551615",
               "--width=16",
               "--height",
               "16384",
               "--size",
               "47",
               "--detail",
               "25",
               "--complexity=3",
               "--smoothness",
               "9",
               "--sides",
               "8",
               "--regular",
               "--colours",
               "True",
               "--palette",
               "p.palette",
               "--output",
               "OUT.PNG"});
    ASSERT_EQ(r.status, RenderArgs::Status::Ok) << r.error;
    const RenderOptions& o = r.options;
    EXPECT_FALSE(o.pattern);
    EXPECT_EQ(*o.seed, 18446744073709551615ull);
    EXPECT_EQ(o.width, 16);
    EXPECT_EQ(o.height, 16384);
    EXPECT_EQ(*o.size, "47");
    EXPECT_EQ(*o.detail, "25");
    EXPECT_EQ(*o.complexity, "3");
    EXPECT_EQ(*o.smoothness, "9");
    EXPECT_EQ(*o.sides, "8");
    EXPECT_FALSE(*o.fancy);
    EXPECT_EQ(*o.colours, RenderOptions::Colours::True);
    EXPECT_EQ(*o.palette, "p.palette");
    EXPECT_TRUE(o.png);

    EXPECT_EQ(parse({"--help"}).status, RenderArgs::Status::Help);
}

TEST(RenderOptions, BadOptionsAreRefused) {
    EXPECT_TRUE(isBad({}));                              // no output
    EXPECT_TRUE(isBad({"-o", "x.jpg"}));                 // unknown format
    EXPECT_TRUE(isBad({"-o", ".bmp"}));                  // no name
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--frobnicate"})); // unknown option
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--seed"}));       // missing value
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--seed", "-1"})); // not a whole number
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--seed", "99999999999999999999"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--width", "15"}));                         // too small
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--height", "16385"}));                     // too large
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--width", "16384", "--height", "16384"})); // too many
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--width", "1e3"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--size", "big"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--size", "12abc"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--size", "nan"}));
    // The rule that reads the number decides: "0x190" would be read as 0.
    for (const char* typo : {"0x190", "0x1p3", "1e", "--5", ".", "5e+"})
        EXPECT_TRUE(isBad({"-o", "x.bmp", "--size", typo})) << typo;
    for (const char* number : {"1e-320", "4d2", ".5", "+200", "2 00"})
        EXPECT_FALSE(isBad({"-o", "x.bmp", "--size", number})) << number;
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--colours", "pink"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--pattern", "--shape"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--fancy", "--regular"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--seed", "1", "--seed", "2"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "--pattern=yes"}));
    EXPECT_TRUE(isBad({"-o", "x.bmp", "-o", "y.bmp"}));
    // Numbers the generators clamp are the generators' business.
    EXPECT_FALSE(isBad({"-o", "x.bmp", "--size", "1000", "--detail", "-4.5"}));
}

TEST(RenderSetup, StartValuesAndOptionsMakeTheDrawing) {
    RenderOptions o;
    o.pattern = false;
    o.width = 320;
    o.height = 200;
    o.size = "47";
    o.sides = "8";
    o.fancy = false;
    o.colours = RenderOptions::Colours::Basic;
    Result<Drawing> d = renderedDrawing(o, 1);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->kind, DrawingKind::Shape);
    EXPECT_EQ(d->seed, 1u);
    EXPECT_EQ(d->width, 320);
    EXPECT_EQ(d->height, 200);
    const DrawSettings& s = d->settings;
    EXPECT_EQ(s.size, 47);
    EXPECT_EQ(s.sides, 8);
    EXPECT_FALSE(s.fancy);
    EXPECT_EQ(s.smoothness, 2);
    EXPECT_EQ(s.detail, 16);
    EXPECT_EQ(s.complexity, 1);
    EXPECT_EQ(s.colour.tcolor, 0);
    EXPECT_EQ(s.colour.tcolor2, 0);
    EXPECT_TRUE(s.colour.list.empty());

    // Field texts are clamped as the window's fields are.
    o.size = "1000";
    o.smoothness = "-3";
    d = renderedDrawing(o, 1);
    EXPECT_EQ(d->settings.size, 400);
    EXPECT_EQ(d->settings.smoothness, 1);

    o.palette = "/nonexistent/dir/x.palette";
    d = renderedDrawing(o, 1);
    ASSERT_FALSE(d);
    EXPECT_NE(d.error().message.find("x.palette"), std::string::npos);
    o.palette = fs::temp_directory_path().string(); // a folder is no palette
    EXPECT_FALSE(renderedDrawing(o, 1));
}

// The renderer as a user runs it; it is built next to this test program.
class RenderProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        exe_ = fs::read_symlink("/proc/self/exe").parent_path() / "vortalis-render";
        if (!fs::exists(exe_)) GTEST_SKIP() << "vortalis-render is not built";
        dir_ = fs::temp_directory_path() / ("vortalis-render-test-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }
    int run(const std::string& args) {
        const std::string cmd = "'" + exe_.string() + "' " + args + " >'" +
                                (dir_ / "out.txt").string() + "' 2>'" +
                                (dir_ / "err.txt").string() + "'";
        const int st = std::system(cmd.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    fs::path exe_, dir_;
};

TEST_F(RenderProcess, SameSeedSameBytes) {
    const std::string a = (dir_ / "a.bmp").string(), b = (dir_ / "b.bmp").string();
    const std::string opts = "--seed 42 --width 320 --height 240 --size 60 --colours true ";
    ASSERT_EQ(run(opts + "-o '" + a + "'"), 0);
    ASSERT_EQ(run(opts + "-o '" + b + "'"), 0);
    const std::string da = read(a), db = read(b);
    EXPECT_EQ(da, db);
    // 24-bit bitmap: 54-byte header, rows of 320 x 3 bytes.
    ASSERT_EQ(da.size(), 54u + 320u * 3u * 240u);
    EXPECT_EQ(da.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(da[28]), 24);

    // Another seed gives another drawing; a shape is written as its picture.
    const std::string c = (dir_ / "c.png").string();
    ASSERT_EQ(run("--seed 43 --shape --size 47 --width 320 --height 240 -o '" + c + "'"), 0);
    const std::string dc = read(c);
    ASSERT_GT(dc.size(), 24u);
    EXPECT_EQ(dc.substr(1, 3), "PNG");
    // IHDR width and height: the picture of a run size 40 is 42 square.
    EXPECT_EQ(static_cast<unsigned char>(dc[19]), 42);
    EXPECT_EQ(static_cast<unsigned char>(dc[23]), 42);
}

TEST_F(RenderProcess, WithoutASeedOneIsPrinted) {
    ASSERT_EQ(run("--width 64 --height 64 --size 40 -o '" + (dir_ / "s.bmp").string() + "'"), 0);
    EXPECT_EQ(read(dir_ / "out.txt").rfind("seed ", 0), 0u);
}

TEST_F(RenderProcess, BadOptionsExitWithStatusTwo) {
    EXPECT_EQ(run("--width 5 -o '" + (dir_ / "x.bmp").string() + "'"), 2);
    EXPECT_NE(read(dir_ / "err.txt").find("usage:"), std::string::npos);
    EXPECT_EQ(run("--no-such-option"), 2);
    EXPECT_EQ(run("--palette '" + (dir_ / "missing.palette").string() + "' -o '" +
                  (dir_ / "x.bmp").string() + "'"),
              2);
    EXPECT_FALSE(fs::exists(dir_ / "x.bmp"));
}

TEST_F(RenderProcess, UnwritableOutputExitsWithStatusOneAndLeavesNoFile) {
    EXPECT_EQ(run("--seed 1 --width 64 --height 64 -o '" + (dir_ / "no" / "x.bmp").string() + "'"),
              1);
    EXPECT_FALSE(fs::exists(dir_ / "no"));
    // A folder where the file should go is not replaced.
    fs::create_directories(dir_ / "taken.png");
    EXPECT_EQ(run("--seed 1 --width 64 --height 64 -o '" + (dir_ / "taken.png").string() + "'"), 1);
    EXPECT_TRUE(fs::is_directory(dir_ / "taken.png"));
    for (const auto& e : fs::directory_iterator(dir_))
        EXPECT_TRUE(e.path().filename() == "taken.png" || e.path().extension() == ".txt")
            << e.path();
}

TEST_F(RenderProcess, OnlyPlainFilesAreReplacedAndAFullDiskSaysSo) {
    const fs::path target = dir_ / "target.bmp", link = dir_ / "link.bmp", fifo = dir_ / "fifo.bmp";
    std::ofstream(target) << "keep";
    fs::create_symlink(target, link);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const fs::path& out : {link, fifo}) {
        EXPECT_EQ(run("--seed 1 --width 64 --height 64 -o '" + out.string() + "'"), 1) << out;
        EXPECT_NE(read(dir_ / "err.txt").find("not a regular file"), std::string::npos) << out;
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(target), "keep");
    EXPECT_TRUE(fs::is_fifo(fifo));

    vx::testing::SmallDisk disk;
    VORTALIS_NEED_DISK(disk);
    EXPECT_EQ(
        run("--seed 1 --width 640 --height 480 -o '" + (disk.path() / "x.bmp").string() + "'"), 1);
    EXPECT_NE(read(dir_ / "err.txt").find("No space left on device"), std::string::npos)
        << read(dir_ / "err.txt");
    EXPECT_TRUE(fs::is_empty(disk.path()));
}

TEST_F(RenderProcess, PaletteFileIsUsed) {
    {
        std::ofstream p(dir_ / "warm.palette", std::ios::binary);
        p << " 255 \r\n-2 \r\n";
        for (int i = 3; i <= 64; ++i) p << " 0 \r\n";
        p << " 3 \r\n";
    }
    EXPECT_EQ(run("--seed 3 --width 64 --height 64 --size 40 --colours user --palette '" +
                  (dir_ / "warm.palette").string() + "' -o '" + (dir_ / "p.bmp").string() + "'"),
              0);
    EXPECT_TRUE(fs::exists(dir_ / "p.bmp"));
    EXPECT_EQ(read(dir_ / "err.txt"), "");

    // A damaged palette is used as far as it goes, and said; a pipe is not waited for.
    std::ofstream(dir_ / "bad.palette", std::ios::binary) << " 255 \r\n x \r\n";
    ASSERT_EQ(::mkfifo((dir_ / "pipe.palette").c_str(), 0644), 0);
    EXPECT_EQ(run("--seed 3 --width 64 --height 64 --palette '" + (dir_ / "bad.palette").string() +
                  "' -o '" + (dir_ / "q.bmp").string() + "'"),
              0);
    EXPECT_NE(read(dir_ / "err.txt")
                  .find("bad.palette is damaged: what could be used was loaded (64 values of 65 "
                        "left out or mended)"),
              std::string::npos)
        << read(dir_ / "err.txt");
    EXPECT_EQ(run("--palette '" + (dir_ / "pipe.palette").string() + "' -o '" +
                  (dir_ / "r.bmp").string() + "'"),
              2);
    EXPECT_NE(read(dir_ / "err.txt").find("it is a pipe"), std::string::npos);
}

TEST_F(RenderProcess, AScaleFromAPictureGivesTheSameFileAndOnlyItsColours) {
    Surface picture(30, 20, 0x3366CC);
    picture.fillBox(0, 10, 29, 19, 0xCC6633);
    picture.setPixel(5, 5, kWhite - 1);
    { std::ofstream(dir_ / "scale.bmp", std::ios::binary) << encodeBmp24(picture); }
    const std::string opts = "--seed 9 --width 200 --height 160 --size 60 --colours true "
                             "--scale-from '" +
                             (dir_ / "scale.bmp").string() + "' ";
    ASSERT_EQ(run(opts + "-o '" + (dir_ / "a.bmp").string() + "'"), 0);
    ASSERT_EQ(run(opts + "-o '" + (dir_ / "b.bmp").string() + "'"), 0);
    const std::string a = read(dir_ / "a.bmp");
    EXPECT_EQ(a, read(dir_ / "b.bmp"));
    // Every pixel is the border colour or one of the picture's three colours.
    ASSERT_EQ(a.size(), 54u + 200u * 3u * 160u);
    for (size_t i = 54; i < a.size(); i += 3) {
        const int32_t c = static_cast<unsigned char>(a[i + 2]) |
                          static_cast<unsigned char>(a[i + 1]) << 8 |
                          static_cast<unsigned char>(a[i]) << 16;
        ASSERT_TRUE(c == kBorder || c == 0x3366CC || c == 0xCC6633 || c == kWhite - 1) << c;
    }
    // Its code carries the scale and makes the same file.
    const std::string out = read(dir_ / "out.txt");
    ASSERT_EQ(out.rfind("code ", 0), 0u) << out;
    ASSERT_EQ(run("--code " + out.substr(5, out.find('\n') - 5) + " --width 200 --height 160 -o '" +
                  (dir_ / "d.bmp").string() + "'"),
              0)
        << read(dir_ / "err.txt");
    EXPECT_EQ(read(dir_ / "d.bmp"), a);

    std::ofstream(dir_ / "broken.bmp") << "BM not really";
    const std::string whole = encodeBmp24(picture);
    std::ofstream(dir_ / "cut.bmp", std::ios::binary) << whole.substr(0, 100);
    ASSERT_EQ(::mkfifo((dir_ / "pipe.bmp").c_str(), 0644), 0);
    for (const char* bad : {"broken.bmp", "cut.bmp", "pipe.bmp"}) {
        EXPECT_EQ(run("--scale-from '" + (dir_ / bad).string() + "' -o '" +
                      (dir_ / "c.bmp").string() + "'"),
                  2);
        EXPECT_NE(read(dir_ / "err.txt").find(bad), std::string::npos) << bad;
    }
    EXPECT_NE(read(dir_ / "err.txt").find("it is a pipe"), std::string::npos);

    // A scale too large for a code: the code says so, and is refused.
    Surface many(100, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) many.setPixel(x, y, 0x010000 * (y + 2) + x + 2);
    std::ofstream(dir_ / "many.bmp", std::ios::binary) << encodeBmp24(many);
    ASSERT_EQ(run("--seed 9 --width 64 --height 64 --scale-from '" + (dir_ / "many.bmp").string() +
                  "' -o '" + (dir_ / "e.bmp").string() + "'"),
              0);
    const std::string manyOut = read(dir_ / "out.txt");
    EXPECT_EQ(run("--code " + manyOut.substr(5, manyOut.find('\n') - 5) + " -o '" +
                  (dir_ / "f.bmp").string() + "'"),
              2);
    EXPECT_NE(read(dir_ / "err.txt").find("cannot be made again from its code"), std::string::npos)
        << read(dir_ / "err.txt");
}

namespace {

// The text chunks of a PNG file: keyword and text.
std::map<std::string, std::string> pngTexts(const std::string& png, uint32_t* pixelsPerMetre) {
    std::map<std::string, std::string> out;
    for (size_t at = 8; at + 12 <= png.size();) {
        auto be32 = [&](size_t o) {
            return static_cast<uint32_t>(static_cast<unsigned char>(png[o])) << 24 |
                   static_cast<uint32_t>(static_cast<unsigned char>(png[o + 1])) << 16 |
                   static_cast<uint32_t>(static_cast<unsigned char>(png[o + 2])) << 8 |
                   static_cast<unsigned char>(png[o + 3]);
        };
        const uint32_t len = be32(at);
        const std::string type = png.substr(at + 4, 4);
        const std::string data = png.substr(at + 8, len);
        if (type == "tEXt") {
            const size_t nul = data.find('\0');
            out[data.substr(0, nul)] = data.substr(nul + 1);
        }
        if (type == "pHYs" && pixelsPerMetre) *pixelsPerMetre = be32(at + 8);
        at += 12 + len;
    }
    return out;
}

} // namespace

TEST_F(RenderProcess, EveryDrawingPrintsItsCodeAndTheCodeMakesTheSameFile) {
    const std::string a = (dir_ / "a.png").string(), b = (dir_ / "b.png").string();
    ASSERT_EQ(run("--seed 5 --shape --size 80 --width 300 --height 200 --colours basic --dpi 300 "
                  "-o '" +
                  a + "'"),
              0);
    const std::string out = read(dir_ / "out.txt");
    ASSERT_EQ(out.rfind("code ", 0), 0u) << out;
    const std::string code = out.substr(5, out.find('\n') - 5);
    uint32_t ppm = 0;
    const auto texts = pngTexts(read(a), &ppm);
    EXPECT_EQ(texts.at("Software"), "Vortalis");
    EXPECT_EQ(texts.at("Drawing code"), code);
    EXPECT_EQ(ppm, 11811u); // 300 dots per inch

    // The code read back from the file makes the same file.
    ASSERT_EQ(run("--code " + texts.at("Drawing code") +
                  " --width 300 --height 200 --dpi 300 "
                  "-o '" +
                  b + "'"),
              0);
    EXPECT_EQ(read(a), read(b));
    EXPECT_EQ(read(dir_ / "out.txt"), out);

    std::string typo = code;
    typo[2] = typo[2] == '7' ? '8' : '7';
    EXPECT_EQ(run("--code " + typo + " -o '" + (dir_ / "c.png").string() + "'"), 2);
    EXPECT_NE(read(dir_ / "err.txt").find("not a drawing code"), std::string::npos);
    EXPECT_EQ(run("--code " + code + " --seed 3 -o '" + (dir_ / "c.png").string() + "'"), 2);
    EXPECT_FALSE(fs::exists(dir_ / "c.png"));
}
