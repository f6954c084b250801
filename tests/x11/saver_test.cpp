// The screen saver as screen-saver hosts run it: under a private Xvfb, drawing into a window
// of another program (made here with xcb), and full screen on every screen.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// A private X server for one test.
class Xvfb {
  public:
    explicit Xvfb(const std::vector<std::string>& screens, bool xinerama = false) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        // A display number of its own, away from the low ones a desktop may hold.
        int number = 100 + static_cast<int>(::getpid() % 400) * 2;
        while (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
        std::vector<std::string> args = {"Xvfb",       ":" + std::to_string(number),
                                         "-displayfd", std::to_string(fds[1]),
                                         "-nolisten",  "tcp",
                                         "-noreset"};
        for (size_t i = 0; i < screens.size(); ++i) {
            args.push_back("-screen");
            args.push_back(std::to_string(i));
            args.push_back(screens[i]);
        }
        if (xinerama) args.push_back("+xinerama");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::freopen("/dev/null", "w", stderr);
            ::execvp("Xvfb", argv.data());
            std::_Exit(127);
        }
        ::close(fds[1]);
        // The whole line: the server writes it in parts and ends when its pipe is closed.
        std::string line;
        char ch = 0;
        while (::read(fds[0], &ch, 1) == 1 && ch != '\n') line += ch;
        ::close(fds[0]);
        if (!line.empty()) display_ = ":" + line;
    }
    ~Xvfb() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

// The saver as a host starts it: with a stripped environment, in a folder of its own.
class Saver {
  public:
    Saver(const std::string& display, const std::vector<std::string>& args,
          const std::vector<std::string>& extraEnv = {}) {
        dir_ = fs::temp_directory_path() /
               ("vortalis-x11-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        fs::create_directories(dir_);
        const fs::path exe = fs::read_symlink("/proc/self/exe").parent_path() / "vortalis";
        pid_ = ::fork();
        if (pid_ == 0) {
            fs::current_path(dir_);
            std::vector<std::string> all = {exe.string()};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<std::string> env = {"PATH=/usr/bin:/bin", "HOME=" + dir_.string(),
                                            "DISPLAY=" + display, "LANG=C.UTF-8"};
            env.insert(env.end(), extraEnv.begin(), extraEnv.end());
            // A sanitizer build's settings reach the program too.
            for (const char* v : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
                if (const char* value = std::getenv(v)) env.push_back(std::string(v) + "=" + value);
            std::vector<char*> argv, envp;
            for (auto& a : all) argv.push_back(a.data());
            for (auto& e : env) envp.push_back(e.data());
            argv.push_back(nullptr);
            envp.push_back(nullptr);
            ::freopen((dir_ / "err.txt").c_str(), "w", stderr);
            ::execve(argv[0], argv.data(), envp.data());
            std::_Exit(127);
        }
    }
    ~Saver() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // Waits up to the time given; the exit status, kKilledBy + the signal that ended it, or -1
    // while it still runs.
    static constexpr int kKilledBy = 1000;
    int waitFor(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            int st = 0;
            if (::waitpid(pid_, &st, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(st) ? WEXITSTATUS(st) : kKilledBy + WTERMSIG(st);
            }
            std::this_thread::sleep_for(1ms);
        } while (std::chrono::steady_clock::now() < end);
        return -1;
    }
    void signal(int s) { ::kill(pid_, s); }
    std::string errors() const {
        std::ifstream in(dir_ / "err.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Files it left in its folder, besides its error output.
    int files() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(dir_)) n += e.path().filename() != "err.txt";
        return n;
    }

  private:
    static inline int counter_ = 0;
    pid_t pid_ = -1;
    bool exited_ = false;
    fs::path dir_;
};

class X {
  public:
    explicit X(const std::string& display, int screenNumber = 0) {
        c_ = xcb_connect(display.c_str(), nullptr);
        auto it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
        screen_ = it.data;
    }
    ~X() { xcb_disconnect(c_); }
    xcb_window_t root() const { return screen_->root; }
    xcb_window_t window(xcb_window_t parent, int x, int y, int w, int h) {
        const xcb_window_t id = xcb_generate_id(c_);
        const uint32_t values[] = {screen_->white_pixel};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, id, parent, static_cast<int16_t>(x),
                          static_cast<int16_t>(y), static_cast<uint16_t>(w),
                          static_cast<uint16_t>(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen_->root_visual, XCB_CW_BACK_PIXEL, values);
        xcb_map_window(c_, id);
        sync();
        return id;
    }
    void resize(xcb_window_t w, int width, int height) {
        const uint32_t v[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
        xcb_configure_window(c_, w, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, v);
        sync();
    }
    void destroy(xcb_window_t w) {
        xcb_destroy_window(c_, w);
        sync();
    }
    void movePointer(int x, int y) {
        xcb_warp_pointer(c_, XCB_NONE, screen_->root, 0, 0, 0, 0, static_cast<int16_t>(x),
                         static_cast<int16_t>(y));
        sync();
    }
    // The pixels of a window as they show, 0xRRGGBB.
    std::vector<uint32_t> pixels(xcb_window_t w, int width, int height) {
        std::unique_ptr<xcb_get_image_reply_t, decltype(&free)> r(
            xcb_get_image_reply(c_,
                                xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0,
                                              static_cast<uint16_t>(width),
                                              static_cast<uint16_t>(height), ~0u),
                                nullptr),
            &free);
        std::vector<uint32_t> out;
        if (!r) return out;
        const auto* d = reinterpret_cast<const uint32_t*>(xcb_get_image_data(r.get()));
        for (int i = 0; i < width * height; ++i) out.push_back(d[i] & 0xFFFFFF);
        return out;
    }

  private:
    void sync() { free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
    xcb_connection_t* c_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
};

// A window filled with a pattern of size 200: copies of one tile from (1, 1) in steps of 199,
// each symmetric under the eight symmetries of the square.
::testing::AssertionResult tiledSymmetric(const std::vector<uint32_t>& p, int w, int h) {
    if (p.size() != static_cast<size_t>(w) * h) return ::testing::AssertionFailure() << "no image";
    auto at = [&](int x, int y) { return p[static_cast<size_t>(y) * w + x]; };
    const int s = 200, period = s - 1, c = s / 2;
    for (int y = 1; y < h; ++y)
        for (int x = 1; x < w; ++x)
            if (at(x, y) != at(1 + (x - 1) % period, 1 + (y - 1) % period))
                return ::testing::AssertionFailure() << "copies differ at " << x << "," << y;
    const int half = std::min({c - 1, w - 1 - c, h - 1 - c});
    for (int oy = -half; oy <= half; ++oy)
        for (int ox = -half; ox <= half; ++ox) {
            const uint32_t v = at(c + ox, c + oy);
            if (v != at(c - ox, c + oy) || v != at(c + ox, c - oy) || v != at(c + oy, c + ox))
                return ::testing::AssertionFailure() << "asymmetric at " << ox << "," << oy;
        }
    return ::testing::AssertionSuccess();
}

// A drawing shows: colours besides the window's own white or an empty screen's one colour.
bool drawn(const std::vector<uint32_t>& p) {
    std::vector<uint32_t> seen;
    for (uint32_t v : p)
        if (std::find(seen.begin(), seen.end(), v) == seen.end()) {
            seen.push_back(v);
            if (seen.size() > 3) return true;
        }
    return false;
}

::testing::AssertionResult patterned(const std::vector<uint32_t>& p, int w, int h) {
    if (!drawn(p)) return ::testing::AssertionFailure() << "nothing drawn";
    return tiledSymmetric(p, w, h);
}

// A single shape (its colours, not the window's commonest one nor black): the box its pixels fill,
// or an empty one, and whether they are exactly symmetric in it (a trail left behind by a move
// would not be).
struct Shape {
    int left = 0, top = 0, right = -1, bottom = -1;
    bool symmetric = false;
};

Shape shapeIn(const std::vector<uint32_t>& p, int w, int h) {
    Shape s{w, h, -1, -1, false};
    std::map<uint32_t, int> counts;
    for (uint32_t v : p) ++counts[v];
    const uint32_t blank = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                               return a.second < b.second;
                           })->first;
    auto at = [&](int x, int y) { return p[static_cast<size_t>(y) * w + x]; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (at(x, y) != blank && at(x, y) != 0) {
                s.left = std::min(s.left, x), s.right = std::max(s.right, x);
                s.top = std::min(s.top, y), s.bottom = std::max(s.bottom, y);
            }
    if (s.right < s.left || s.right - s.left != s.bottom - s.top) return s;
    for (int y = s.top; y <= s.bottom; ++y)
        for (int x = s.left; x <= s.right; ++x) {
            const uint32_t v = at(x, y);
            if (v != at(s.left + s.right - x, y) || v != at(x, s.top + s.bottom - y) ||
                v != at(s.left + y - s.top, s.top + x - s.left))
                return s;
        }
    s.symmetric = true;
    return s;
}

template <class F> bool eventually(F f, std::chrono::milliseconds limit = 10000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (f()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return f();
}

} // namespace

TEST(ForeignWindow, DrawsOnlyIntoItFollowsItsSizeAndEndsOnTerm) {
    Xvfb xvfb({"1024x768x24"});
    ASSERT_FALSE(xvfb.display().empty());
    X x(xvfb.display());
    const xcb_window_t parent = x.window(x.root(), 0, 0, 700, 500);
    const xcb_window_t child = x.window(parent, 100, 50, 420, 300);
    Saver saver(xvfb.display(),
                {"--window-id", std::to_string(child), "--patterns", "--seconds", "50"});
    ASSERT_TRUE(eventually([&] { return drawn(x.pixels(child, 420, 300)); })) << saver.errors();
    EXPECT_TRUE(tiledSymmetric(x.pixels(child, 420, 300), 420, 300));
    // Nothing outside the window.
    const std::vector<uint32_t> around = x.pixels(parent, 700, 500);
    for (int y = 0; y < 500; y += 3)
        for (int xx = 0; xx < 700; xx += 3)
            if (xx < 100 || xx >= 520 || y < 50 || y >= 350) {
                ASSERT_EQ(around[static_cast<size_t>(y) * 700 + xx], kWhite) << xx << "," << y;
            }

    x.resize(child, 600, 440);
    ASSERT_TRUE(eventually([&] { return patterned(x.pixels(child, 600, 440), 600, 440); }));
    // The smallest of windows, one of 8K and one larger than X11 windows get; and back.
    for (auto [ww, hh] : {std::pair{1, 1}, {7680, 4320}, {32767, 32767}}) {
        x.resize(child, ww, hh);
        std::this_thread::sleep_for(300ms);
        ASSERT_EQ(saver.waitFor(0ms), -1) << ww << "x" << hh << ": " << saver.errors();
    }
    x.resize(child, 500, 400);
    ASSERT_TRUE(eventually([&] { return patterned(x.pixels(child, 500, 400), 500, 400); }));

    // It ends at once (scripts/measure-hack measures how soon), by the signal as hosts expect
    // of a hack; never a hang.
    saver.signal(SIGTERM);
    EXPECT_EQ(saver.waitFor(2000ms), Saver::kKilledBy + SIGTERM);
    EXPECT_EQ(saver.files(), 0) << "a screen saver writes no file";
}

TEST(ForeignWindow, TheHostsWindowComesFromTheEnvironmentWithRoot) {
    Xvfb xvfb({"800x600x24"});
    X x(xvfb.display());
    const xcb_window_t w = x.window(x.root(), 0, 0, 400, 300);
    Saver saver(xvfb.display(), {"-root", "--patterns"}, {"XSCREENSAVER_WINDOW=0x" + [&] {
                    char s[16];
                    std::snprintf(s, sizeof s, "%x", w);
                    return std::string(s);
                }()});
    ASSERT_TRUE(eventually([&] { return drawn(x.pixels(w, 400, 300)); })) << saver.errors();
    EXPECT_TRUE(tiledSymmetric(x.pixels(w, 400, 300), 400, 300));
    saver.signal(SIGINT);
    EXPECT_EQ(saver.waitFor(2000ms), Saver::kKilledBy + SIGINT);
}

// XScreenSaver's settings dialog runs the hack's command, --root and all, with --window-id of
// its preview appended; xsecurelock adds -root to a hack given alone.
TEST(ForeignWindow, ThePreviewOfTheSettingsDialogDraws) {
    Xvfb xvfb({"800x600x24"});
    X x(xvfb.display());
    const xcb_window_t other = x.window(x.root(), 0, 0, 300, 200);
    const xcb_window_t preview = x.window(x.root(), 400, 300, 320, 240);
    char id[16];
    std::snprintf(id, sizeof id, "0x%X", preview);
    Saver saver(xvfb.display(), {"--root", "--size", "120", "--seconds", "5", "--window-id", id},
                {"XSCREENSAVER_WINDOW=" + std::to_string(other)});
    ASSERT_TRUE(eventually([&] { return drawn(x.pixels(preview, 320, 240)); })) << saver.errors();
    for (uint32_t v : x.pixels(other, 300, 200)) ASSERT_EQ(v, kWhite);
    saver.signal(SIGHUP);
    EXPECT_EQ(saver.waitFor(2000ms), Saver::kKilledBy + SIGHUP) << saver.errors();
}

TEST(ForeignWindow, AMissingOrVanishingWindowEndsItWithAMessage) {
    Xvfb xvfb({"800x600x24"});
    X x(xvfb.display());
    Saver missing(xvfb.display(), {"--window-id", "0x7777777"});
    EXPECT_EQ(missing.waitFor(3000ms), 1);
    EXPECT_NE(missing.errors().find("no window 0x7777777"), std::string::npos) << missing.errors();
    Saver word(xvfb.display(), {"--window-id", "seven"});
    EXPECT_EQ(word.waitFor(3000ms), 2);

    const xcb_window_t w = x.window(x.root(), 0, 0, 300, 200);
    Saver saver(xvfb.display(), {"--window-id", std::to_string(w), "--single"});
    ASSERT_TRUE(eventually([&] { return drawn(x.pixels(w, 300, 200)); })) << saver.errors();
    x.destroy(w);
    EXPECT_EQ(saver.waitFor(3000ms), 1);
    EXPECT_NE(saver.errors().find("went away"), std::string::npos) << saver.errors();
}

// In a host's window (drawn with xcb) and full screen (drawn by Qt) alike.
TEST(Gliding, AGlidingShapeStaysWholeAndGlidesOnAfterPauses) {
    for (const bool own : {false, true}) {
        Xvfb xvfb({"500x400x24"});
        X x(xvfb.display());
        const xcb_window_t w = own ? x.root() : x.window(x.root(), 0, 0, 500, 400);
        std::vector<std::string> args = {"--single", "--fast", "--size", "150", "--seconds", "50"};
        if (own)
            args.insert(args.begin(), "--saver");
        else
            args.insert(args.begin(), {"--window-id", std::to_string(w)});
        Saver saver(xvfb.display(), args);
        ASSERT_TRUE(eventually([&] { return drawn(x.pixels(w, 500, 400)); })) << saver.errors();
        std::vector<int> places;
        for (int i = 0; i < 6; ++i) {
            // Stopped, as a host pauses it. A stop may fall between the requests of one
            // frame; a trail left behind would show in every try.
            Shape s;
            for (int attempt = 0; attempt < 3 && !s.symmetric; ++attempt) {
                saver.signal(SIGSTOP);
                std::this_thread::sleep_for(100ms);
                s = shapeIn(x.pixels(w, 500, 400), 500, 400);
                saver.signal(SIGCONT);
                if (!s.symmetric) std::this_thread::sleep_for(20ms);
            }
            EXPECT_TRUE(s.symmetric) << (own ? "full screen" : "host's window") << " at " << s.left
                                     << "," << s.top << " to " << s.right << "," << s.bottom;
            places.push_back(s.left * 1000 + s.top);
            std::this_thread::sleep_for(150ms);
        }
        std::sort(places.begin(), places.end());
        EXPECT_GT(std::unique(places.begin(), places.end()) - places.begin(), 3) << "it glides";
        saver.signal(SIGTERM);
        EXPECT_EQ(saver.waitFor(2000ms), Saver::kKilledBy + SIGTERM) << saver.errors();
    }
}

TEST(EveryScreen, EachScreenGetsItsOwnDrawingsAndAMoveOfTheMouseEndsIt) {
    Xvfb xvfb({"640x480x24", "400x300x24"});
    X first(xvfb.display(), 0), second(xvfb.display(), 1);
    Saver saver(xvfb.display(), {"--saver", "--patterns"});
    ASSERT_TRUE(eventually([&] {
        return patterned(first.pixels(first.root(), 640, 480), 640, 480) &&
               patterned(second.pixels(second.root(), 400, 300), 400, 300);
    })) << saver.errors();
    // Their own drawings: the tiles differ.
    const std::vector<uint32_t> a = first.pixels(first.root(), 640, 480);
    const std::vector<uint32_t> b = second.pixels(second.root(), 400, 300);
    int differ = 0;
    for (int y = 1; y < 200; ++y)
        for (int xx = 1; xx < 200; ++xx)
            differ += a[static_cast<size_t>(y) * 640 + xx] != b[static_cast<size_t>(y) * 400 + xx];
    EXPECT_GT(differ, 1000);
    first.movePointer(300, 300);
    EXPECT_EQ(saver.waitFor(3000ms), 0) << saver.errors();
}

TEST(EveryScreen, XineramaHeadsAreCoveredWhole) {
    Xvfb xvfb({"800x600x24", "640x480x24"}, true);
    X x(xvfb.display());
    Saver saver(xvfb.display(), {"--saver", "--patterns"});
    ASSERT_TRUE(eventually([&] { return patterned(x.pixels(x.root(), 800, 600), 800, 600); }))
        << saver.errors();
    saver.signal(SIGTERM);
    EXPECT_EQ(saver.waitFor(2000ms), Saver::kKilledBy + SIGTERM) << saver.errors();
}
