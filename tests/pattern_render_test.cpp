// vortalis-render: its options, the palette it reads, and the program run as a process.
#include "app/render.hpp"
#include "engine/settingsfile.hpp"
#include "export/bmp.hpp"
#include "small_disk.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <set>
#include <sstream>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

RenderArgs parse(std::vector<std::string> a) {
    return parseRenderArgs(a);
}

} // namespace

TEST(RenderOptions, GoodAndBadCommandLines) {
    using S = ArgsStatus;
    using F = RenderOptions::Format;
    struct Case {
        std::vector<std::string> args;
        S status;
        const char* gist; // a part of the error, for Bad
    };
    const Case cases[] = {
        {{"-o", "x.bmp"}, S::Ok, ""},
        {{"--help", "--frobnicate"}, S::Help, ""},
        {{"-h"}, S::Help, ""},
        {{"--version"}, S::Version, ""},
        {{}, S::Bad, "no output file"},
        {{"-o", "x.jpg"}, S::Bad, "must end in .bmp, .png, .svg or .pdf, or in .mp4"},
        {{"-o", "x.avi"}, S::Bad, ".webm, .webp or .gif for motion, not \"x.avi\""},
        {{"-o", ".bmp"}, S::Bad, "must end in"},
        {{"-o", "x.bmp", "--frobnicate=2"}, S::Bad, "unknown option \"--frobnicate=2\""},
        {{"-o", "x.bmp", "-root"}, S::Bad, "unknown option \"-root\""},
        {{"-o", "x.bmp", "stray"}, S::Bad, "unexpected argument \"stray\""},
        {{"-o", "x.bmp", "--seed"},
         S::Bad,
         "--seed needs a whole number from 0 to 18446744073709551615"},
        {{"-o", "x.bmp", "--seed", "-1"},
         S::Bad,
         "--seed needs a whole number from 0 to 18446744073709551615, not \"-1\""},
        {{"-o", "x.bmp", "--seed", "99999999999999999999"}, S::Bad, "--seed needs"},
        {{"-o", "x.bmp", "--width", "15"},
         S::Bad,
         "--width needs a whole number from 16 to 16384, not \"15\""},
        {{"-o", "x.bmp", "--height=16385"},
         S::Bad,
         "--height needs a whole number from 16 to 16384"},
        {{"-o", "x.bmp", "--width", "1e3"}, S::Bad, "--width needs"},
        {{"-o", "x.bmp", "--width", "16384", "--height", "16384"},
         S::Bad,
         "at most 67108864 pixels"},
        {{"-o", "x.bmp", "--size", "big"}, S::Bad, "--size needs a number, not \"big\""},
        {{"-o", "x.bmp", "--size", "12abc"}, S::Bad, "--size needs a number"},
        {{"-o", "x.bmp", "--size", "nan"}, S::Bad, "--size needs a number"},
        // The rule that reads the number decides: "0x190" would be read as 0.
        {{"-o", "x.bmp", "--size", "0x190"}, S::Bad, "--size needs a number"},
        {{"-o", "x.bmp", "--detail", "1e"}, S::Bad, "--detail needs a number"},
        {{"-o", "x.bmp", "--sides", "5e+"}, S::Bad, "--sides needs a number"},
        {{"-o", "x.bmp", "--size", "a\nb"}, S::Bad, "not \"a?b\""}, // one line whatever is given
        {{"-o", "x.bmp", "--colours", "pink"},
         S::Bad,
         "--colours needs basic, true or user, not \"pink\""},
        {{"-o", "x.bmp", "--pattern", "--shape"}, S::Bad, "give only one of --pattern and --shape"},
        {{"-o", "x.bmp", "--fancy", "--regular"}, S::Bad, "give only one of --fancy and --regular"},
        {{"-o", "x.bmp", "--seed", "1", "--seed=2"}, S::Bad, "--seed given twice"},
        {{"-o", "x.bmp", "--pattern=yes"}, S::Bad, "--pattern takes no value"},
        {{"-o", "x.bmp", "-o", "y.bmp"}, S::Bad, "-o given twice"},
        {{"-o", "x.bmp", "--palette="}, S::Bad, "--palette needs a file name"},
        // A palette is written with or without a drawing, in the format its ending names.
        {{"--write-palette", "x.gpl"}, S::Ok, ""},
        {{"--list-palettes"}, S::Ok, ""},
        {{"--write-palette", "x.txt"},
         S::Bad,
         "must end in .gpl, .ase, .hex or .palette, not \"x.txt\""},
        {{"-o", "x.bmp", "--dpi", "0"}, S::Bad, "--dpi needs a whole number from 1 to 100000"},
        {{"-o", "x.bmp", "--code", "ABC", "--seed", "3"}, S::Bad, "--code gives the whole drawing"},
        // New colourings and variations; colour rules for a code only with a new colouring.
        {{"-o", "x.bmp", "--code", "ABC", "--palette", "P"}, S::Bad, "go with --new-colours"},
        {{"-o", "x.bmp", "--code", "ABC", "--palette", "P", "--new-colours", "3"}, S::Ok, ""},
        {{"-o", "x.bmp", "--new-colours", "0"},
         S::Bad,
         "--new-colours needs a whole number from 1 to 4294967295"},
        {{"-o", "x.png", "--variations", "Seeds"}, S::Ok, ""},
        {{"-o", "x.png", "--variations", "shapes"},
         S::Bad,
         "--variations needs colours, seeds or settings, not \"shapes\""},
        {{"-o", "x.svg", "--variations", "colours"}, S::Bad, "-o FILE.bmp or .png"},
        {{"-o", "x.png", "--variations", "colours", "--tile"}, S::Bad, "-o FILE.bmp or .png"},
        {{"-o", "x.bmp", "--scale", "17"}, S::Bad, "--scale needs a whole number from 1 to 16"},
        {{"-o", "x.bmp", "--scale", "16"},
         S::Bad,
         "--scale 16 makes 30720 x 17280 pixels: at most 16384 a side"},
        {{"-o", "x.bmp", "--scale", "3", "--width", "4096", "--height", "2000"},
         S::Bad,
         "and 67108864 in all"},
        {{"-o", "x.bmp", "--scale", "2", "--width", "4096", "--height", "4096"}, S::Ok, ""},
        {{"-o", "x.bmp", "--tile", "--shape"}, S::Bad, "--tile makes one period of a pattern"},
        {{"-o", "x.bmp", "--tile", "--code", "ABC"}, S::Ok, ""},
        // Motion.
        {{"-o", "x.mp4", "--length", "600", "--fps", "120", "--seconds", "50", "--slow"},
         S::Ok,
         ""},
        {{"--frames", "d", "--shape", "--fast", "--width", "4096", "--height", "17"}, S::Ok, ""},
        {{"-o", "x.gif", "--length", "0"}, S::Bad, "--length needs a whole number from 1 to 600"},
        {{"-o", "x.gif", "--length", "-3"}, S::Bad, "--length needs a whole number"},
        {{"-o", "x.gif", "--length", "601"}, S::Bad, "--length needs a whole number"},
        {{"-o", "x.gif", "--length", "ten"}, S::Bad, "not \"ten\""},
        {{"-o", "x.gif", "--fps", "0"}, S::Bad, "--fps needs a whole number from 1 to 120"},
        {{"-o", "x.gif", "--fps", "121"}, S::Bad, "--fps needs a whole number from 1 to 120"},
        {{"-o", "x.gif", "--seconds", "0"}, S::Bad, "--seconds needs a number from 1 to 50"},
        {{"-o", "x.png", "--length", "5"}, S::Bad, "are for motion"},
        {{"-o", "x.png", "--slow"}, S::Bad, "are for motion"},
        {{"-o", "x.gif", "--frames", "d"}, S::Bad, "give only one of -o and --frames"},
        {{"-o", "x.webm", "--tile"}, S::Bad, "are for still pictures"},
        {{"-o", "x.svg", "--plotter"}, S::Ok, ""},
        {{"-o", "x.pdf", "--plotter"}, S::Bad, "--plotter writes the outline as an SVG file"},
        {{"-o", "x.mp4", "--width", "1921"},
         S::Bad,
         "H.264 video needs an even width and height, not 1921 x 1080 (try 1920 x 1080)"},
        {{"-o", "x.webm", "--height", "99"}, S::Bad, "VP9 video needs an even width and height"},
        {{"-o", "x.gif", "--width", "4097"}, S::Bad, "at most 4096 x 4096 pixels"},
        {{"-o", "x.png", "--growth"}, S::Bad, "--growth are for motion"},
        {{"-o", "x.mp4", "--growth", "--seconds", "5"}, S::Bad, "--growth shows one drawing"},
        {{"-o", "x.mp4", "--growth", "--shape", "--fast"}, S::Bad, "--growth shows one drawing"},
        // A growing shape has its picture's size, whatever the surface's.
        {{"-o", "x.mp4", "--growth", "--shape", "--width", "1921"}, S::Ok, ""},
        {{"--frames", "d", "--growth", "--code", "ABC"}, S::Ok, ""},
        // Numbers the generators clamp are the generators' business.
        {{"-o", "x.bmp", "--size", "1000", "--detail", "-4.5", "--smoothness", "+200"}, S::Ok, ""},
        {{"-o", "x.bmp", "--size", "1e-320", "--detail", "4d2", "--complexity", ".5"}, S::Ok, ""},
    };
    for (const Case& c : cases) {
        const RenderArgs r = parse(c.args);
        std::string shown;
        for (const std::string& a : c.args) shown += a + " ";
        EXPECT_EQ(r.status, c.status) << shown << r.error;
        EXPECT_NE(r.error.find(c.gist), std::string::npos) << shown << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << shown;
    }

    RenderOptions o = parse({"-o", "x.bmp"}).options;
    EXPECT_TRUE(o.pattern);
    EXPECT_FALSE(o.seed);
    EXPECT_EQ(o.width, 1920);
    EXPECT_EQ(o.height, 1080);
    EXPECT_EQ(o.format, F::Bmp);
    EXPECT_EQ(o.scale, 1);
    EXPECT_FALSE(o.tile);

    // Every option, in the forms given: "=", one dash, the next word.
    const RenderArgs r = parse({"--shape",
                                "-seed",
                                "18446744073709551615",
                                "--width=16",
                                "-height=16384",
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
                                "--colors",
                                "True",
                                "--palette",
                                "p.palette",
                                "--scale-from",
                                "s.png",
                                "--dpi",
                                "300",
                                "--scale=1",
                                "--output",
                                "OUT.PNG"});
    ASSERT_EQ(r.status, S::Ok) << r.error;
    o = r.options;
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
    EXPECT_EQ(*o.scaleFrom, "s.png");
    EXPECT_EQ(*o.dpi, 300);
    EXPECT_EQ(o.format, F::Png);
    o = parse({"--tile", "--scale", "4", "--width", "2048", "--height", "2048", "-oposter.Svg"})
            .options;
    EXPECT_TRUE(o.tile);
    EXPECT_EQ(o.scale, 4);
    EXPECT_EQ(o.output, "poster.Svg");
    EXPECT_EQ(o.format, F::Svg);
    EXPECT_EQ(parse({"-o", "a.pdf"}).options.format, F::Pdf);
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

TEST_F(RenderProcess, BadOptionsExitWithStatusTwoAndOneLineWithAHint) {
    EXPECT_EQ(run("--width 5 -o '" + (dir_ / "x.bmp").string() + "'"), 2);
    EXPECT_EQ(read(dir_ / "err.txt"),
              "vortalis-render: --width needs a whole number from 16 to 16384, not \"5\"\n"
              "Try \"vortalis-render --help\".\n");
    EXPECT_EQ(run("--no-such-option"), 2);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(read(dir_ / "out.txt").rfind("usage: vortalis-render", 0), 0u);
    EXPECT_EQ(run("--version"), 0);
    EXPECT_EQ(read(dir_ / "out.txt").rfind("vortalis-render ", 0), 0u);
    EXPECT_EQ(run("--palette '" + (dir_ / "missing.palette").string() + "' -o '" +
                  (dir_ / "x.bmp").string() + "'"),
              2);
    EXPECT_FALSE(fs::exists(dir_ / "x.bmp"));
}

TEST_F(RenderProcess, MotionIsSeededPrintsEachCodeAndWritesFramesOrNothing) {
    const std::string opts = "--seed 7 --width 160 --height 120 --size 40 --seconds 1 "
                             "--length 3 --fps 5 ";
    ASSERT_EQ(run(opts + "-o '" + (dir_ / "a.gif").string() + "'"), 0);
    const std::string codes = read(dir_ / "out.txt");
    ASSERT_EQ(run(opts + "-o '" + (dir_ / "b.gif").string() + "'"), 0);
    EXPECT_EQ(read(dir_ / "a.gif"), read(dir_ / "b.gif"));
    EXPECT_EQ(read(dir_ / "out.txt"), codes);
    // One code for each drawing shown, each another.
    std::istringstream lines(codes);
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(line.rfind("code ", 0), 0u) << line;
        seen.insert(line);
    }
    EXPECT_EQ(seen.size(), 3u) << codes;

    ASSERT_EQ(run(opts + "--frames '" + (dir_ / "frames").string() + "'"), 0);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_ / "frames"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 15u);
    EXPECT_EQ(names.front(), "frame00001.png");
    EXPECT_EQ(names.back(), "frame00015.png");
    // A folder holding frames is refused, whatever else it holds: a shorter recording would
    // leave the last frames of this one among its own.
    const std::string before = read(dir_ / "frames" / "frame00015.png");
    EXPECT_EQ(run("--seed 8 --length 1 --fps 1 --frames '" + (dir_ / "frames").string() + "'"), 2);
    EXPECT_NE(read(dir_ / "err.txt").find("holds frames already (frame"), std::string::npos);
    EXPECT_EQ(read(dir_ / "frames" / "frame00015.png"), before);
    fs::create_directories(dir_ / "notes");
    std::ofstream(dir_ / "notes" / "frame.png") << "not a frame";
    std::ofstream(dir_ / "notes" / "frame7.txt") << "nor this";
    EXPECT_EQ(run(opts + "--frames '" + (dir_ / "notes").string() + "'"), 0);
    EXPECT_TRUE(fs::exists(dir_ / "notes" / "frame00015.png"));

    // Refused before anything is written.
    EXPECT_EQ(run("--width 161 -o '" + (dir_ / "c.mp4").string() + "'"), 2);
    EXPECT_NE(read(dir_ / "err.txt").find("even width"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "c.mp4"));
}

// Stopped while it writes, the renderer leaves neither the file nor its temporary, and ends by
// the signal.
TEST_F(RenderProcess, ASignalInTheMiddleOfAWriteLeavesNoTemporary) {
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir_.c_str(), IN_CREATE), 0);
    const std::string out = (dir_ / "big.bmp").string();
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        // A write of 48 MB: the signal comes the moment its temporary appears.
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::execl(exe_.c_str(), exe_.c_str(), "--seed", "1", "--width", "1024", "--height",
                    "1024", "--scale", "4", "-o", out.c_str(), nullptr);
            ::_exit(127);
        }
        pollfd p{watch, POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 60000), 1);
        ::kill(pid, sig);
        char events[4096];
        EXPECT_GT(::read(watch, events, sizeof events), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << ": " << status;
        EXPECT_TRUE(fs::is_empty(dir_)) << sig;
    }
    ::close(watch);
}

TEST_F(RenderProcess, UnwritableOutputExitsWithStatusOneAndLeavesNoFile) {
    // The name's control characters do not reach the terminal.
    EXPECT_EQ(run("--seed 1 --width 64 --height 64 -o '" + (dir_ / "no").string() +
                  "/\x1b[31mRED\xc2\x9b.bmp'"),
              1);
    EXPECT_NE(read(dir_ / "err.txt").find("/?[31mRED?.bmp\": cannot create"), std::string::npos)
        << read(dir_ / "err.txt");
    EXPECT_FALSE(fs::exists(dir_ / "no"));
    // A folder where the file should go is not replaced.
    fs::create_directories(dir_ / "taken.png");
    EXPECT_EQ(run("--seed 1 --width 64 --height 64 -o '" + (dir_ / "taken.png").string() + "'"), 1);
    EXPECT_TRUE(fs::is_directory(dir_ / "taken.png"));
    for (const auto& e : fs::directory_iterator(dir_))
        EXPECT_TRUE(e.path().filename() == "taken.png" || e.path().extension() == ".txt")
            << e.path();
}

TEST_F(RenderProcess, OnlyFilesAreReplacedReadOnlyOnesWhenForcedAndAFullDiskSaysSo) {
    const fs::path target = dir_ / "target.bmp", link = dir_ / "link.bmp", fifo = dir_ / "fifo.bmp";
    const std::string opts = "--seed 1 --width 64 --height 64 ";
    std::ofstream(target) << "keep";
    fs::create_symlink(target, link);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(run(opts + "-o '" + fifo.string() + "'"), 1);
    EXPECT_NE(read(dir_ / "err.txt").find("not a regular file"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(fifo));
    // Through a link, the file it leads to; the link stays.
    EXPECT_EQ(run(opts + "-o '" + link.string() + "'"), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(target).substr(0, 2), "BM");

    // A read-only file is kept, unless forced; then it stays read-only.
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    std::ofstream(dir_ / "ro.png") << "keep";
    fs::permissions(dir_ / "ro.png", readOnly);
    EXPECT_EQ(run(opts + "-o '" + (dir_ / "ro.png").string() + "'"), 1);
    EXPECT_NE(read(dir_ / "err.txt").find("read-only (--force replaces it)"), std::string::npos);
    EXPECT_EQ(read(dir_ / "ro.png"), "keep");
    EXPECT_EQ(run(opts + "--force -o '" + (dir_ / "ro.png").string() + "'"), 0);
    EXPECT_EQ(read(dir_ / "ro.png").substr(1, 3), "PNG");
    EXPECT_EQ(fs::status(dir_ / "ro.png").permissions() & fs::perms::all, readOnly);

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

TEST_F(RenderProcess, PostersTilesAndVectorFilesOrAClearRefusal) {
    auto size = [](const std::string& png) {
        auto be = [&](size_t o) {
            return static_cast<uint32_t>(static_cast<unsigned char>(png.at(o)) << 24 |
                                         static_cast<unsigned char>(png.at(o + 1)) << 16 |
                                         static_cast<unsigned char>(png.at(o + 2)) << 8 |
                                         static_cast<unsigned char>(png.at(o + 3)));
        };
        return std::to_string(be(16)) + " x " + std::to_string(be(20));
    };
    const std::string opts = "--seed 4 --width 320 --height 240 ";
    ASSERT_EQ(run(opts + "--scale 3 -o '" + (dir_ / "a.png").string() + "'"), 0);
    EXPECT_EQ(size(read(dir_ / "a.png")), "960 x 720");
    ASSERT_EQ(run(opts + "--tile --scale 2 -o '" + (dir_ / "b.png").string() + "'"), 0);
    EXPECT_EQ(size(read(dir_ / "b.png")), "398 x 398");
    // Vector files as large on paper as --dpi makes them; the plotter's outline alone.
    ASSERT_EQ(run(opts + "--dpi 80 -o '" + (dir_ / "c.svg").string() + "'"), 0);
    EXPECT_NE(read(dir_ / "c.svg").find("width=\"4in\" height=\"3in\" viewBox=\"0 0 320 240\""),
              std::string::npos);
    ASSERT_EQ(run(opts + "--shape --dpi 80 -o '" + (dir_ / "d.pdf").string() + "'"), 0);
    EXPECT_EQ(read(dir_ / "d.pdf").rfind("%PDF-1.4", 0), 0u);
    EXPECT_NE(read(dir_ / "d.pdf").find("/MediaBox [0 0 181.8 181.8]"), std::string::npos);
    ASSERT_EQ(run(opts + "--plotter -o '" + (dir_ / "p.svg").string() + "'"), 0);
    const std::string plot = read(dir_ / "p.svg");
    EXPECT_NE(plot.find("stroke=\"#010000\""), std::string::npos);
    EXPECT_EQ(plot.find("fill=\"#"), std::string::npos);
    // A full-HD pattern of 22 colours: its tile's copies written out one by one made 5.8 MB.
    ASSERT_EQ(run("--seed 5 --colours true -o '" + (dir_ / "big.svg").string() + "'"), 0);
    EXPECT_LT(fs::file_size(dir_ / "big.svg"), 2'000'000u);
    // A page PDF would not allow is made the least size, and a line says so.
    ASSERT_EQ(run(opts + "--shape --dpi 100000 -o '" + (dir_ / "f.pdf").string() + "'"), 0);
    EXPECT_NE(read(dir_ / "f.pdf").find("/MediaBox [0 0 3 3]"), std::string::npos);
    EXPECT_NE(read(dir_ / "err.txt").find("the page is 3 x 3 units"), std::string::npos);
    // A shape's picture and a tile are enlarged within the limits by their own size, not the
    // surface's.
    for (const char* what : {"--shape --size 100", "--tile"}) {
        ASSERT_EQ(run(std::string("--seed 4 --width 2000 --height 1000 --scale 9 ") + what +
                      " -o '" + (dir_ / "g.png").string() + "'"),
                  0)
            << what << ": " << read(dir_ / "err.txt");
        EXPECT_EQ(size(read(dir_ / "g.png")), what[2] == 's' ? "918 x 918" : "1791 x 1791");
    }

    for (auto [args, said] : {std::pair{"--shape --tile", "--tile makes one period of a pattern"},
                              {"--scale 17", "--scale"},
                              {"--scale 0", "--scale"},
                              {"--width 2000 --scale 9", "--scale 9 makes 18000 x 9720 pixels"},
                              {"--width 100 --height 100 --tile",
                               "smaller than one tile of the pattern (200 x 200)"}}) {
        EXPECT_EQ(run(std::string(args) + " -o '" + (dir_ / "e.png").string() + "'"), 2) << args;
        EXPECT_NE(read(dir_ / "err.txt").find(said), std::string::npos) << read(dir_ / "err.txt");
        EXPECT_FALSE(fs::exists(dir_ / "e.png"));
    }
    EXPECT_EQ(run("-o '" + (dir_ / "e.tiff").string() + "'"), 2);
}

TEST_F(RenderProcess, BundledPalettesAreListedAndAnyListIsWrittenInTheFormatOfItsEnding) {
    ASSERT_EQ(run("--list-palettes"), 0);
    const std::string names = read(dir_ / "out.txt");
    EXPECT_GE(std::count(names.begin(), names.end(), '\n'), 30);
    EXPECT_NE(names.find("\nviridis\n"), std::string::npos);

    // Without -o only the palette is written, and nothing is drawn or printed.
    const fs::path hex = dir_ / "v.hex";
    ASSERT_EQ(run("--palette viridis --write-palette '" + hex.string() + "'"), 0);
    EXPECT_EQ(read(dir_ / "out.txt"), "");
    EXPECT_EQ(read(hex).substr(0, 14), "440154\n481a6c\n");
    // The file draws what the bundled palette draws.
    const std::string opts = "--seed 5 --width 96 --height 96 --size 40 --colours user ";
    ASSERT_EQ(run(opts + "--palette viridis -o '" + (dir_ / "a.bmp").string() + "'"), 0);
    ASSERT_EQ(run(opts + "--palette '" + hex.string() + "' -o '" + (dir_ / "b.bmp").string() + "'"),
              0);
    EXPECT_EQ(read(dir_ / "a.bmp"), read(dir_ / "b.bmp"));

    // The list of the settings file of the working folder, shade codes said.
    State st;
    st.colorlist[1] = 255;
    st.colorlist[2] = -3;
    st.numcolors = 3;
    std::ofstream(dir_ / "Vortalis.settings", std::ios::binary) << settingsText(st, 10);
    const std::string cmd =
        "cd '" + dir_.string() + "' && '" + exe_.string() + "' --write-palette s.gpl 2>err.txt";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_NE(read(dir_ / "s.gpl").find("255   0   0\t#ff0000\n  0 255   0\trandom green"),
              std::string::npos)
        << read(dir_ / "s.gpl");
    EXPECT_NE(read(dir_ / "err.txt").find("1 random shade was written"), std::string::npos);
}
