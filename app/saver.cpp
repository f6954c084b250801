#include "app/saver.hpp"

#include "app/events.hpp"
#include "app/generators.hpp"
#include "app/modes.hpp"
#include "app/settings.hpp"
#include "app/startup.hpp"
#include "model/fields.hpp"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace vx {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Hosts give options with one dash or two.
std::string longForm(const std::string& a) {
    return a.size() > 1 && a[0] == '-' && a[1] != '-' ? "-" + a : a;
}

} // namespace

std::optional<uint32_t> parseWindowId(const std::string& text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    for (size_t i = hex ? 2 : 0; i < text.size(); ++i)
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(text[i]))
                  : std::isdigit(static_cast<unsigned char>(text[i]))))
            return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno == ERANGE || *end != '\0' || v == 0 || v > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<uint32_t>(v);
}

std::string saverUsage(const std::string& program) {
    return "usage: " + program +
           " --saver | --window-id ID | --root\n"
           "       [--settings FILE] [--seconds N] [--single | --patterns] [--slow | --fast]\n"
           "       [--size N] [--detail N] [--complexity N] [--smoothness N]\n"
           "       [--regular | --fancy] [--colours basic|true|user]\n"
           "Runs screen-saver mode: --saver full screen on every screen until a key, a click or\n"
           "a move of the mouse; --window-id ID in that X window; --root in the window of the\n"
           "screen-saver host (XSCREENSAVER_WINDOW), else the root window. The settings come from\n"
           "Vortalis.settings in the working folder when there is one (it is never written), or\n"
           "from FILE; the options override them. Without options the program is a window.\n";
}

SaverArgs parseSaverArgs(const std::vector<std::string>& args) {
    SaverArgs r;
    SaverOptions& o = r.options;
    auto bad = [&r](std::string msg) {
        r.status = SaverArgs::Status::Bad;
        r.error = std::move(msg);
        return r;
    };
    bool targetGiven = false, anyOption = false;
    std::string unknown;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string name = longForm(args[i]);
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        auto target = [&](SaverOptions::Target t) {
            if (targetGiven) return false;
            targetGiven = true;
            o.target = t;
            return true;
        };
        std::string v;
        if (name == "--help") {
            r.status = SaverArgs::Status::Help;
            return r;
        } else if (name == "--saver") {
            if (!target(SaverOptions::Target::Screens))
                return bad("give only one of --saver, --window-id and --root");
        } else if (name == "--root") {
            if (!target(SaverOptions::Target::Root))
                return bad("give only one of --saver, --window-id and --root");
        } else if (name == "--window-id") {
            if (!target(SaverOptions::Target::Window))
                return bad("give only one of --saver, --window-id and --root");
            if (!value(v)) return bad("--window-id needs a window id");
            const auto id = parseWindowId(v);
            if (!id) return bad("--window-id needs a window id (a number), not \"" + v + "\"");
            o.windowId = *id;
        } else if (name == "--settings") {
            if (!value(v) || v.empty()) return bad("--settings needs a file name");
            o.settingsFile = v;
            anyOption = true;
        } else if (name == "--seconds" || name == "--size" || name == "--detail" ||
                   name == "--complexity" || name == "--smoothness") {
            if (!value(v)) return bad(name + " needs a number");
            std::optional<std::string>& field = name == "--seconds"      ? o.seconds
                                                : name == "--size"       ? o.size
                                                : name == "--detail"     ? o.detail
                                                : name == "--complexity" ? o.complexity
                                                                         : o.smoothness;
            field = v;
            anyOption = true;
        } else if (name == "--single" || name == "--patterns") {
            o.single = name == "--single";
            anyOption = true;
        } else if (name == "--slow" || name == "--fast") {
            o.slow = name == "--slow";
            anyOption = true;
        } else if (name == "--regular" || name == "--fancy") {
            o.fancy = name == "--fancy";
            anyOption = true;
        } else if (name == "--colours" || name == "--colors") {
            if (!value(v)) return bad("--colours needs basic, true or user");
            const std::string c = lower(v);
            if (c == "basic")
                o.colours = SaverOptions::Colours::Basic;
            else if (c == "true")
                o.colours = SaverOptions::Colours::True;
            else if (c == "user")
                o.colours = SaverOptions::Colours::User;
            else
                return bad("--colours needs basic, true or user, not \"" + v + "\"");
            anyOption = true;
        } else if (unknown.empty()) {
            unknown = args[i];
        }
    }
    if ((targetGiven || anyOption) && !unknown.empty())
        return bad("unknown option \"" + unknown + "\"");
    if (!targetGiven) {
        if (anyOption)
            return bad("the screen saver's options go with --saver, --window-id or --root");
        return r; // the window, with whatever Qt makes of the arguments
    }
    r.status = SaverArgs::Status::Run;
    return r;
}

void startSaver(Shapes& sh, const SaverOptions& o, int place) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    const std::string file = o.settingsFile.empty() ? kSettingsFile : o.settingsFile;
    // Start-up's values and its two readings of the file, without the main page.
    startValues(sh, file, 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(place));
    st.ffb = 1;
    st.mpattern = 1;
    st.mpattern2 = 1;
    st.swidth = 200;
    f.setText("Text2", "200");
    readSettingsSecond(sh, file);

    if (o.seconds) f.setText(kSecondsField.name, *o.seconds);
    if (o.size) f.setText(kSizeField.name, *o.size);
    if (o.detail) f.setText(kDetailField.name, *o.detail);
    if (o.complexity) f.setText(kComplexityField.name, *o.complexity);
    if (o.smoothness) f.setText(kSmoothnessField.name, *o.smoothness);
    const Events& ev = programEvents();
    if (o.single) ev.click(sh, *o.single ? "csingle" : "cpattern");
    if (o.slow) ev.click(sh, *o.slow ? "tslow" : "tfast");
    if (o.fancy) ev.click(sh, *o.fancy ? "Option2" : "Option1");
    if (o.colours)
        ev.click(sh, *o.colours == SaverOptions::Colours::Basic  ? "bcolor7"
                     : *o.colours == SaverOptions::Colours::True ? "tcolor7"
                                                                 : "ucolors");

    sh.loop.phase = kMainLoop;
    sh.loop.lastFrame = sh.platform->steadySeconds();
    // A pattern at once; single shapes are drawn by entering the mode.
    if (st.mpattern == 1) makeshape2(sh);
    ssaverClick(sh);
}

} // namespace vx
