#include "app/options.hpp"

#include "app/render.hpp"
#include "app/saver.hpp"
#include "base/text.hpp"
#include "export/motion.hpp"
#include "export/palettefile.hpp"
#include "model/fields.hpp"
#include "surface/numeric.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <sstream>

namespace vx {

namespace {

constexpr unsigned kWindow = 1, kRender = 2, kBoth = kWindow | kRender;

// One reading of a command line: the results it fills and what has been given so far.
struct Reading {
    explicit Reading(RenderOptions& o) : render(&o) {}
    explicit Reading(SaverOptions& o) : saver(&o) {}
    RenderOptions* render = nullptr; // the one of the two being read
    SaverOptions* saver = nullptr;
    std::map<const void*, std::string> given; // where a value went, and the option that gave it
    bool help = false, version = false, screens = false, root = false, window = false;

    DrawingOptions& drawing() {
        return render ? static_cast<DrawingOptions&>(*render)
                      : static_cast<DrawingOptions&>(*saver);
    }
    // The renderer takes each value once; the screen saver, as X programs do, the last one.
    std::string once(const void* where, const std::string& name) {
        const auto [it, fresh] = given.emplace(where, name);
        if (!fresh && render)
            return it->second == name ? name + " given twice"
                                      : "give only one of " + it->second + " and " + name;
        it->second = name;
        return "";
    }
};

struct Option;

// What CLI11 found for an option: its value, "true" for a switch given bare.
struct Given {
    const Option& option;
    const std::string& value;
    std::string name() const;
};

// Checks the value and puts it where it goes; the error, or "".
using Take = std::string (*)(Reading&, const Given&);

struct Option {
    const char* names; // as CLI11 takes them; the first one names the option in messages
    const char* value; // the value's name in the help; nullptr: a switch
    unsigned programs;
    const char* help; // nullptr: not listed (Qt's own)
    Take take;
    double lo = 1, hi = 0; // the range of a number, when lo <= hi

    bool ranged() const { return lo <= hi; }
};

std::string Given::name() const {
    const std::string n = option.names;
    return n.substr(0, n.find(','));
}

// A value as it can be shown on one line of a terminal.
std::string shown(const std::string& v) {
    return "\"" + printable(std::string_view(v).substr(0, 60)) + (v.size() > 60 ? "...\"" : "\"");
}

std::string needs(const Given& g, const std::string& what) {
    return g.name() + " needs " + what + (g.value.empty() ? "" : ", not " + shown(g.value));
}

std::string rangeText(const Option& o) {
    return numberText(o.lo) + " to " + numberText(o.hi);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A switch marks what it stands for.
std::string mark(const Given& g, bool& on) {
    if (g.value != "true") return g.name() + " takes no value";
    on = true;
    return "";
}

template <class T, class V> std::string flag(Reading& r, const Given& g, T& where, V v) {
    if (g.value != "true") return g.name() + " takes no value";
    if (std::string e = r.once(&where, g.name()); !e.empty()) return e;
    where = v;
    return "";
}

// Plain decimal digits within the option's range (any 64-bit number without one).
template <class T> std::string whole(Reading& r, const Given& g, T& where) {
    const Option& o = g.option;
    const uint64_t lo = o.ranged() ? static_cast<uint64_t>(o.lo) : 0;
    const uint64_t hi =
        o.ranged() ? static_cast<uint64_t>(o.hi) : std::numeric_limits<uint64_t>::max();
    const std::string& s = g.value;
    const bool digits = !s.empty() && s.size() <= 20 && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    errno = 0;
    const unsigned long long v = digits ? std::strtoull(s.c_str(), nullptr, 10) : 0;
    if (!digits || errno == ERANGE || v < lo || v > hi)
        return needs(g, "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
    if (std::string e = r.once(&where, g.name()); !e.empty()) return e;
    where = static_cast<T>(v);
    return "";
}

// A field's text must be one number by the rule the field reads with, so that typos are caught
// rather than read as 0 ("0x190" would be). The renderer leaves the range to the generators, as
// the window's fields do; the screen saver's values come from hosts' dialogs and are checked,
// and so is the period of a recording.
std::string field(Reading& r, const Given& g, std::optional<std::string>& where,
                  bool checked = false) {
    const Option& o = g.option;
    const std::optional<double> v =
        g.value.size() <= 32 ? wholeFieldNumber(g.value) : std::optional<double>();
    if ((r.saver || checked) && o.ranged() && (!v || *v < o.lo || *v > o.hi))
        return needs(g, "a number from " + rangeText(o));
    if (!v) return needs(g, "a number");
    if (std::string e = r.once(&where, g.name()); !e.empty()) return e;
    where = g.value;
    return "";
}

template <class T> std::string text(Reading& r, const Given& g, T& where, const char* what) {
    if (g.value.empty()) return g.name() + " needs " + what;
    if (std::string e = r.once(&where, g.name()); !e.empty()) return e;
    where = g.value;
    return "";
}

std::string colours(Reading& r, const Given& g) {
    using C = DrawingOptions::Colours;
    const std::string v = lower(g.value);
    const std::optional<C> c = v == "basic"  ? C::Basic
                               : v == "true" ? C::True
                               : v == "user" ? C::User
                                             : std::optional<C>();
    if (!c) return needs(g, "basic, true or user");
    if (std::string e = r.once(&r.drawing().colours, g.name()); !e.empty()) return e;
    r.drawing().colours = c;
    return "";
}

std::string variationsKind(Reading& r, const Given& g) {
    const std::optional<VariationKind> k = variationKind(lower(g.value));
    if (!k) return needs(g, "colours, seeds or settings");
    if (std::string e = r.once(&r.render->variations, g.name()); !e.empty()) return e;
    r.render->variations = k;
    return "";
}

std::string windowId(Reading& r, const Given& g) {
    const std::optional<uint32_t> id = parseWindowId(g.value);
    if (!id) return needs(g, "a window id (a number from 1 to 0xFFFFFFFF)");
    r.window = true;
    r.saver->windowId = *id;
    return "";
}

// --keep size,colours: the settings --random-settings leaves as given.
std::string keepList(Reading& r, const Given& g) {
    if (g.value.empty()) return g.name() + " needs a list of settings";
    const Result<SettingLocks> locks = parseLockList(g.value);
    if (!locks) return g.name() + ": " + locks.error().message;
    if (std::string e = r.once(&r.render->keep, g.name()); !e.empty()) return e;
    r.render->keep = *locks;
    return "";
}

// Qt reads these itself; a missing value would leave it to take the next word.
std::string qtValue(Reading&, const Given& g) {
    if (!g.option.value) return g.value == "true" ? "" : g.name() + " takes no value";
    return g.value.empty() ? g.name() + " needs a value" : "";
}

// Both programs' options, in the order their help lists them.
const Option kOptions[] = {
    {"--saver", nullptr, kWindow, "full screen on every screen, until a key, click or move",
     [](Reading& r, const Given& g) { return mark(g, r.screens); }},
    {"--root", nullptr, kWindow, "in $XSCREENSAVER_WINDOW, else in the root window",
     [](Reading& r, const Given& g) { return mark(g, r.root); }},
    {"--window-id", "ID", kWindow, "in the X window ID (decimal or 0x-hex), even with --root",
     windowId},
    {"--settings", "FILE", kWindow, "the settings file to read",
     [](Reading& r, const Given& g) { return text(r, g, r.saver->settingsFile, "a file name"); }},
    {"--seconds", "N", kBoth, "seconds between drawings,",
     [](Reading& r, const Given& g) {
         return field(r, g, r.render ? r.render->seconds : r.saver->seconds, true);
     },
     kSecondsField.lo, kSecondsField.hi},
    {"--single", nullptr, kWindow, "single shapes gliding",
     [](Reading& r, const Given& g) { return flag(r, g, r.saver->single, true); }},
    {"--patterns", nullptr, kWindow, "patterns",
     [](Reading& r, const Given& g) { return flag(r, g, r.saver->single, false); }},
    {"--slow", nullptr, kBoth, "slow glide",
     [](Reading& r, const Given& g) {
         return flag(r, g, r.render ? r.render->slow : r.saver->slow, true);
     }},
    {"--fast", nullptr, kBoth, "fast glide",
     [](Reading& r, const Given& g) {
         return flag(r, g, r.render ? r.render->slow : r.saver->slow, false);
     }},
    {"--favourites,--favorites", nullptr, kWindow,
     "the favourites in turn instead of random drawings",
     [](Reading& r, const Given& g) { return flag(r, g, r.saver->favourites, true); }},
    {"--pattern", nullptr, kRender, "a pattern over the whole surface (the default)",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->pattern, true); }},
    {"--shape", nullptr, kRender, "a single shape, written as its picture",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->pattern, false); }},
    {"--seed", "N", kRender, "the seed of the drawing, a whole number",
     [](Reading& r, const Given& g) { return whole(r, g, r.render->seed); }},
    {"--width", "W", kRender, "width of the surface,",
     [](Reading& r, const Given& g) { return whole(r, g, r.render->width); }, kRenderMinSide,
     kRenderMaxSide},
    {"--height", "H", kRender, "height of the surface,",
     [](Reading& r, const Given& g) { return whole(r, g, r.render->height); }, kRenderMinSide,
     kRenderMaxSide},
    {"--size", "N", kBoth, "size of a shape,",
     [](Reading& r, const Given& g) { return field(r, g, r.drawing().size); }, kSizeField.lo,
     kSizeField.hi},
    {"--detail", "N", kBoth, "detail of a shape,",
     [](Reading& r, const Given& g) { return field(r, g, r.drawing().detail); }, kDetailField.lo,
     kDetailField.hi},
    {"--complexity", "N", kBoth, "complexity,",
     [](Reading& r, const Given& g) { return field(r, g, r.drawing().complexity); },
     kComplexityField.lo, kComplexityField.hi},
    {"--smoothness", "N", kBoth, "smoothness,",
     [](Reading& r, const Given& g) { return field(r, g, r.drawing().smoothness); },
     kSmoothnessField.lo, kSmoothnessField.hi},
    {"--sides", "N", kRender, "number of sides (4 or 8)",
     [](Reading& r, const Given& g) { return field(r, g, r.render->sides); }},
    {"--regular", nullptr, kBoth, "regular shapes",
     [](Reading& r, const Given& g) { return flag(r, g, r.drawing().fancy, false); }},
    {"--fancy", nullptr, kBoth, "fancy shapes",
     [](Reading& r, const Given& g) { return flag(r, g, r.drawing().fancy, true); }},
    {"--colours,--colors", "KIND", kBoth, "basic, true or user colours (or --colors)", colours},
    {"--palette", "FILE|NAME", kRender,
     "the user's colours from a palette file or a bundled palette",
     [](Reading& r, const Given& g) {
         return text(r, g, r.render->palette, "a file name or a bundled palette's name");
     }},
    {"--write-palette", "FILE", kRender,
     "write the colour list to FILE: .gpl, .ase, .hex or .palette",
     [](Reading& r, const Given& g) { return text(r, g, r.render->writePalette, "a file name"); }},
    {"--list-palettes", nullptr, kRender, "print the names of the bundled palettes and exit",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->listPalettes, true); }},
    {"--scale-from", "PICTURE", kRender, "a colour scale from the colours of a picture",
     [](Reading& r, const Given& g) { return text(r, g, r.render->scaleFrom, "a picture file"); }},
    {"--random-settings", nullptr, kRender,
     "random fields, style, colours and kind, but those given or kept",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->randomSettings, true); }},
    {"--keep", "LIST", kRender, "the settings --random-settings keeps, such as size,colours,kind",
     keepList},
    {"--code", "CODE", kRender, "the drawing of a code, in place of the options above",
     [](Reading& r, const Given& g) { return text(r, g, r.render->code, "a drawing code"); }},
    {"--describe", nullptr, kRender, "with --code: print what made the drawing, a line a setting",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->describe, true); }},
    {"--new-colours,--new-colors", "K", kRender, "new colouring K of the drawing,",
     [](Reading& r, const Given& g) { return whole(r, g, r.render->newColours); }, 1, 4294967295.0},
    {"--variations", "KIND", kRender, "a 3 x 3 sheet of variations: colours, seeds or settings",
     variationsKind},
    {"--dpi", "N", kRender, "the resolution the file states,",
     [](Reading& r, const Given& g) { return whole(r, g, r.render->dpi); }, 1, 100000},
    {"--scale", "N", kRender, "each pixel as N x N pixels (a poster),",
     [](Reading& r, const Given& g) { return whole(r, g, r.render->scale); }, 1, kRenderMaxScale},
    {"--tile", nullptr, kRender, "one seamless period of a pattern",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->tile, true); }},
    {"--plotter", nullptr, kRender, "an SVG of the outline alone, as lines for a plotter",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->plotter, true); }},
    {"-o,--output", "FILE", kRender,
     "the file to write: .bmp, .png, .svg or .pdf; or motion: .mp4, .webm, .webp or .gif",
     [](Reading& r, const Given& g) { return text(r, g, r.render->output, "a file name"); }},
    {"--frames", "DIR", kRender, "motion as numbered PNG frames in DIR, in place of -o",
     [](Reading& r, const Given& g) { return text(r, g, r.render->frames, "a folder name"); }},
    {"--length", "S", kRender, "seconds of motion (10 unless given),",
     [](Reading& r, const Given& g) { return whole(r, g, r.render->length); }, 1, kRenderMaxLength},
    {"--fps", "N", kRender, "frames a second of motion (30 unless given),",
     [](Reading& r, const Given& g) { return whole(r, g, r.render->fps); }, kMotionMinFps,
     kMotionMaxFps},
    {"--growth", nullptr, kRender, "motion of the drawing being made, not of screen-saver mode",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->growth, true); }},
    {"--force", nullptr, kRender, "replace the files to write even when they are read-only",
     [](Reading& r, const Given& g) { return flag(r, g, r.render->force, true); }},
    {"-h,--help", nullptr, kBoth, "print this help and exit",
     [](Reading& r, const Given& g) { return mark(g, r.help); }},
    {"--version", nullptr, kBoth, "print the version and exit",
     [](Reading& r, const Given& g) { return mark(g, r.version); }},
    // Qt's own, which QApplication takes from the same command line.
    {"--platform", "VALUE", kWindow, nullptr, qtValue},
    {"--platformpluginpath", "VALUE", kWindow, nullptr, qtValue},
    {"--platformtheme", "VALUE", kWindow, nullptr, qtValue},
    {"--plugin", "VALUE", kWindow, nullptr, qtValue},
    {"--qwindowgeometry", "VALUE", kWindow, nullptr, qtValue},
    {"--qwindowicon", "VALUE", kWindow, nullptr, qtValue},
    {"--qwindowtitle", "VALUE", kWindow, nullptr, qtValue},
    {"--session", "VALUE", kWindow, nullptr, qtValue},
    {"--display", "VALUE", kWindow, nullptr, qtValue},
    {"--geometry", "VALUE", kWindow, nullptr, qtValue},
    {"--style", "VALUE", kWindow, nullptr, qtValue},
    {"--stylesheet", "VALUE", kWindow, nullptr, qtValue},
    {"--reverse,--widgetcount", nullptr, kWindow, nullptr, qtValue},
};

unsigned programBit(Cli p) {
    return p == Cli::Vortalis ? kWindow : kRender;
}

const char* programName(Cli p) {
    return p == Cli::Vortalis ? "vortalis" : "vortalis-render";
}

// Hands each value CLI11 found, in the order given, to its option's take. The first unknown
// word, else the first error, or "".
std::string read(Cli p, std::vector<std::string> words, Reading& r) {
    CLI::App app;
    app.set_help_flag();
    app.allow_extras();
    std::map<const CLI::Option*, const Option*> entries;
    for (const Option& o : kOptions) {
        if (!(o.programs & programBit(p))) continue;
        // A value is optional to CLI11, so that a missing one reaches the take, which names it.
        CLI::Option* c = o.value ? app.add_option(o.names)->expected(0, 1) : app.add_flag(o.names);
        c->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        entries[c] = &o;
    }
    // Screen-saver hosts give long options with one dash.
    for (std::string& w : words)
        if (w.size() > 2 && w[0] == '-' && w[1] != '-' &&
            app.get_option_no_throw("-" + w.substr(0, w.find('='))))
            w.insert(0, "-");
    std::reverse(words.begin(), words.end());
    try {
        app.parse(words);
    } catch (const CLI::Error& e) {
        return e.what();
    }
    std::string error;
    const std::string none;
    std::map<const CLI::Option*, size_t> next;
    for (const CLI::Option* c : app.parse_order()) {
        // An option given without its value has no result of its own; its take says so.
        const size_t i = next[c]++;
        const Option& o = *entries.at(c);
        const std::string e = o.take(r, Given{o, i < c->results().size() ? c->results()[i] : none});
        if (error.empty()) error = e;
    }
    const std::vector<std::string> extra = app.remaining();
    if (!extra.empty())
        return (extra[0].rfind('-', 0) == 0 ? "unknown option " : "unexpected argument ") +
               shown(extra[0]);
    return error;
}

// What the reading asks for before the program's own checks.
ArgsStatus first(const Reading& r, const std::string& error) {
    if (r.help) return ArgsStatus::Help;
    if (!error.empty()) return ArgsStatus::Bad;
    if (r.version) return ArgsStatus::Version;
    return ArgsStatus::Ok;
}

bool endsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() > tail.size() && lower(s.substr(s.size() - tail.size())) == tail;
}

// The output file's format from its ending.
std::string outputFormat(RenderOptions& o) {
    using F = RenderOptions::Format;
    const std::pair<const char*, F> endings[] = {
        {".bmp", F::Bmp}, {".png", F::Png},   {".svg", F::Svg},   {".pdf", F::Pdf},
        {".mp4", F::Mp4}, {".webm", F::WebM}, {".webp", F::WebP}, {".gif", F::Gif}};
    const auto* ending = std::find_if(std::begin(endings), std::end(endings), [&](const auto& e) {
        return endsWithNoCase(o.output, e.first);
    });
    if (ending == std::end(endings))
        return "the output file must end in .bmp, .png, .svg or .pdf, or in .mp4, .webm, .webp "
               "or .gif for motion, not " +
               shown(o.output);
    o.format = ending->second;
    return "";
}

// Options that only motion takes, and the frames' size.
std::string motionChecks(const RenderOptions& o) {
    if (!o.motion()) {
        if (o.fps || o.length || o.seconds || o.slow || o.growth)
            return "--fps, --length, --seconds, --slow, --fast and --growth are for motion: "
                   "write .mp4, .webm, .webp or .gif, or --frames DIR";
        return "";
    }
    if (o.tile || o.scale > 1 || o.dpi) return "--tile, --scale and --dpi are for still pictures";
    if (o.growth && (o.seconds || o.slow))
        return "--growth shows one drawing being made: leave out --seconds, --slow and --fast";
    // A growing shape is as large as its picture, whatever the surface.
    if (o.growth && !o.pattern) return "";
    return motionSizeProblem(renderMotionSettings(o));
}

// What --random-settings is given is kept as given.
void keepGiven(const Reading& r, SettingLocks& keep) {
    const RenderOptions& o = *r.render;
    const std::pair<Lockable, bool> given[] = {{Lockable::Size, o.size.has_value()},
                                               {Lockable::Detail, o.detail.has_value()},
                                               {Lockable::Complexity, o.complexity.has_value()},
                                               {Lockable::Smoothness, o.smoothness.has_value()},
                                               {Lockable::Style, o.fancy.has_value()},
                                               {Lockable::Colours, o.colours.has_value()},
                                               {Lockable::Kind, r.given.count(&o.pattern) != 0}};
    for (const auto& [which, yes] : given)
        if (yes) keep[which] = true;
}

// Checks of the options together.
std::string renderChecks(const Reading& r, RenderArgs&) {
    RenderOptions& o = *r.render;
    // A code is the whole drawing; only the surface and the file are free, and the colour
    // rules of a new colouring.
    const bool colourRules = o.colours || o.palette || o.scaleFrom;
    if (o.code &&
        (r.given.count(&o.pattern) || o.fancy || o.seed || o.size || o.detail || o.complexity ||
         o.smoothness || o.sides || o.randomSettings || (colourRules && !o.newColours)))
        return "--code gives the whole drawing: leave out the options of a drawing "
               "(kind, seed, fields, random settings; colours, palette and colour scale go with "
               "--new-colours)";
    if (o.describe && !o.code) return "--describe tells what made the drawing of --code CODE";
    if (r.given.count(&o.keep) && !o.randomSettings) return "--keep goes with --random-settings";
    keepGiven(r, o.keep);
    if (o.tile && !o.pattern) return "--tile makes one period of a pattern: leave out --shape";
    if (o.listPalettes) return "";
    if (o.writePalette && !writtenFormat(*o.writePalette))
        return "the palette file must end in .gpl, .ase, .hex or .palette, not " +
               shown(*o.writePalette);
    if (o.frames && !o.output.empty()) return "give only one of -o and --frames";
    if (o.output.empty() && !o.frames)
        return o.writePalette || o.describe
                   ? ""
                   : "no output file (-o FILE.bmp, .png, .svg, .pdf, .mp4, .webm, "
                     ".webp or .gif, or --frames DIR)";
    if (!o.frames)
        if (std::string e = outputFormat(o); !e.empty()) return e;
    if (std::string e = motionChecks(o); !e.empty()) return e;
    if (o.variations &&
        (o.motion() || o.tile || o.scale > 1 ||
         (o.format != RenderOptions::Format::Bmp && o.format != RenderOptions::Format::Png)))
        return "--variations writes one picture of the sheet: -o FILE.bmp or .png, without "
               "--tile or --scale";
    if (o.plotter && o.format != RenderOptions::Format::Svg)
        return "--plotter writes the outline as an SVG file: -o FILE.svg";
    const long long w = o.width, h = o.height;
    if (w * h > kRenderMaxPixels)
        return "the surface may have at most " + std::to_string(kRenderMaxPixels) + " pixels";
    // A shape's picture and a tile are known once drawn; a pattern is the whole surface.
    if (o.pattern && !o.tile) return scaleRefusal(w, h, o.scale);
    return "";
}

std::string saverChecks(const Reading& r, SaverArgs& a) {
    using T = SaverOptions::Target;
    if (r.screens && (r.root || r.window)) return "--saver goes without --root and --window-id";
    // Hosts' settings dialogs add --window-id to the command line of the hack, --root and all.
    if (r.window || r.root || r.screens) {
        a.options.target = r.window ? T::Window : r.root ? T::Root : T::Screens;
        a.status = ArgsStatus::Run;
    } else if (!r.given.empty()) {
        return "the screen saver's options go with --saver, --root or --window-id";
    } else {
        a.status = ArgsStatus::None; // the window, with whatever Qt makes of the arguments
    }
    return "";
}

// Reads the words for one program, then its checks of the options together.
template <class Args>
Args parseFor(Cli p, const std::vector<std::string>& words,
              std::string (*checks)(const Reading&, Args&)) {
    Args a;
    Reading r(a.options);
    const std::string error = read(p, words, r);
    a.status = first(r, error);
    a.error = a.status == ArgsStatus::Ok ? checks(r, a) : a.status == ArgsStatus::Bad ? error : "";
    if (!a.error.empty()) a.status = ArgsStatus::Bad;
    return a;
}

} // namespace

RenderArgs parseRenderArgs(const std::vector<std::string>& args) {
    return parseFor<RenderArgs>(Cli::Render, args, renderChecks);
}

SaverArgs parseSaverArgs(const std::vector<std::string>& args) {
    return parseFor<SaverArgs>(Cli::Vortalis, args, saverChecks);
}

namespace {

std::string windowIntro() {
    return "usage: vortalis [--saver | --root | --window-id ID] [OPTION]...\n"
           "Without options, the window. With --saver, --root or --window-id, screen-saver\n"
           "mode at once, with the settings of --settings FILE, else of Vortalis.settings in\n"
           "the working folder, else in $XDG_CONFIG_HOME/vortalis (~/.config/vortalis); they\n"
           "are read, never written, and the options override them. --favourites shows the\n"
           "drawings kept with \"Add to favourites\" in turn, from\n"
           "$XDG_DATA_HOME/vortalis/favourites (~/.local/share/vortalis/favourites).\n\n";
}

std::string rendererIntro() {
    return "usage: vortalis-render [OPTION]... -o FILE\n"
           "   or: vortalis-render --random-settings [--keep LIST] [OPTION]... -o FILE\n"
           "   or: vortalis-render --code CODE [--width W --height H] [--dpi N] -o FILE\n"
           "   or: vortalis-render --code CODE --describe\n"
           "   or: vortalis-render --code CODE [--new-colours K] [--variations KIND] -o FILE\n"
           "   or: vortalis-render [--palette P | --code CODE] --write-palette FILE [-o FILE]\n"
           "   or: vortalis-render --list-palettes\n"
           "Makes one drawing and writes it to FILE: a pattern as the whole surface (1920 x\n"
           "1080 unless given, at most " +
           std::to_string(kRenderMaxPixels) +
           " pixels), a single shape as its picture. The\n"
           "same seed and options give the same file; without --seed one is taken from the\n"
           "clock and printed; every drawing prints its code, and --code makes the drawing of\n"
           "a code again, at any size. Field values out of range are clamped as the window\n"
           "clamps them. --scale-from draws with the distinct colours of a picture (any format\n"
           "Qt reads), as the import of a colour scale does; a PNG keeps the drawing's code.\n"
           "An SVG or PDF file holds the drawing's regions traced as smooth filled outlines in\n"
           "its exact colours, one layer a colour, under its outline as the pens drew it, in\n"
           "lines one pixel wide; the page is the drawing's size at --dpi (96 unless given).\n"
           "--plotter writes the outline's lines alone to an SVG file, for plotters and\n"
           "cutters. A PNG of at most 256 colours is written with a palette.\n"
           "--palette reads the window's .palette files, GIMP (.gpl), Adobe Swatch Exchange\n"
           "(.ase), hex lists (.hex), Paint.NET (.txt) and JASC (.pal) palettes, known by\n"
           "their content; a name that is no file names a bundled palette (--list-palettes).\n"
           "--write-palette writes the list of --palette, of --code or of Vortalis.settings,\n"
           "with or without a drawing; random shades go to files of other programs as the\n"
           "full shade of their hue.\n"
           "An MP4, WebM, WebP or GIF file (or --frames DIR) records screen-saver mode from the\n"
           "drawing: patterns replacing each other every --seconds, or with --shape single\n"
           "shapes gliding over black at the window's --slow or --fast speed, a new one every\n"
           "--seconds; the code of each drawing shown is printed. --growth records the\n"
           "drawing being made instead: its outline traced, its regions filled in order, then\n"
           "the finished drawing, the same as its still. --frames DIR must not hold frames\n"
           "(frameN.png) already.\n"
           "--random-settings draws the settings at random from the seed, as the window's\n"
           "\"Random settings\" does, but those given and those of --keep; --describe prints\n"
           "what made the drawing of a code as \"name value\" lines.\n"
           "--new-colours K makes the K-th new colouring of the drawing: the same outline and\n"
           "regions, coloured again from a stream of their own; with --code, --colours,\n"
           "--palette and --scale-from give its colour rules, else the code's are kept.\n"
           "--variations writes a 3 x 3 sheet, the drawing in the middle and eight variations\n"
           "around it: new colours, other seeds, or one setting nudged in each; it prints\n"
           "their codes in reading order.\n\n";
}

// One line an option of the program: its names, its value and what it does.
std::string optionLines(Cli p) {
    std::string s;
    for (const Option& o : kOptions) {
        if (!(o.programs & programBit(p)) || !o.help) continue;
        // Short names and the first long one; other spellings are the help's business.
        std::string label;
        std::stringstream names(o.names);
        for (std::string n; std::getline(names, n, ',');)
            if (label.find("--") == std::string::npos) label += (label.empty() ? "  " : ", ") + n;
        if (o.value) label += std::string(" ") + o.value;
        label.resize(std::max<size_t>(label.size() + 2, 24), ' ');
        s += label + o.help + (o.ranged() ? " " + rangeText(o) : "") + "\n";
    }
    return s;
}

} // namespace

std::string usageText(Cli p) {
    std::string s = (p == Cli::Vortalis ? windowIntro() : rendererIntro()) + optionLines(p);
    if (p == Cli::Vortalis) s += "Qt's own options (-platform, -display, -style...) go to Qt.\n";
    return s + "Options take one dash or two; a value follows as the next word or after \"=\".\n";
}

std::optional<int> answerArgs(Cli p, ArgsStatus s, const std::string& error) {
    const char* name = programName(p);
    switch (s) {
    case ArgsStatus::Help:
        std::fputs(usageText(p).c_str(), stdout);
        return 0;
    case ArgsStatus::Version:
        std::printf("%s %s\n", name, VORTALIS_VERSION);
        return 0;
    case ArgsStatus::Bad:
        std::fprintf(stderr, "%s: %s\nTry \"%s --help\".\n", name, printable(error).c_str(), name);
        return 2;
    default:
        return std::nullopt;
    }
}

} // namespace vx
