#include "core/settings.hpp"

#include "pattern/makeshape2.hpp"
#include "platform/atomicfile.hpp"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

namespace vx {

namespace {

enum Head {
    kDetailf,
    kSwidth,
    kComplexy2,
    kComplexy,
    kTcolor,
    kNsides,
    kSeconds,
    kSharpf,
    kCenterf,
    kMpattern,
    kNwait4,
    kNtimes,
    kComplexy4,
    kTcolor2,
    kNumcolors
};

constexpr int32_t kMaxColour = 16777215;

bool isSeparator(char c) {
    return c == ' ' || c == ',' || c == '\t';
}

// A token's value: its leading number, or 0. Clean when the whole token is a finite number.
// from_chars reads "." whatever the process locale says.
double tokenValue(std::string_view tok, bool& clean) {
    double exact = 0;
    const auto [end, ec] = std::from_chars(tok.data(), tok.data() + tok.size(), exact);
    clean =
        !tok.empty() && ec == std::errc() && end == tok.data() + tok.size() && std::isfinite(exact);
    return clean ? exact : fieldNumber(tok);
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
        if (lines.size() > 66) return lines; // nothing past the end marker is read
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string_view> splitTokens(std::string_view line) {
    std::vector<std::string_view> toks;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSeparator(line[i])) ++i;
        size_t j = i;
        while (j < line.size() && !isSeparator(line[j])) ++j;
        if (j > i) toks.push_back(line.substr(i, j - i));
        i = j;
    }
    return toks;
}

bool readFile(std::string& text) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(kSettingsFile, ec)) return false;
    std::ifstream in(kSettingsFile, std::ios::binary);
    if (!in) return false;
    text.resize(kSettingsReadLimit);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return !in.bad();
}

// A colour-list value the program can use: a colour or a random-shade code.
bool validColour(double v) {
    if (v != std::floor(v)) return false;
    return (v >= 0 && v <= kMaxColour) || (v >= -7 && v <= -1);
}

struct Reading {
    std::optional<double> seconds;
    int problems = 0;
};

// Steps shared by both readings: the values, conversions and clamps.
Reading readValues(Shapes& sh, const SettingsValues& v) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    Reading r;
    r.problems = v.unreadable;
    double* members[15] = {&st.detailf, &st.swidth, &st.complexy2, &st.complexy, &st.tcolor,
                           &st.nsides,  nullptr,    &st.sharpf,    &st.centerf,  &st.mpattern,
                           &st.nwait4,  &st.ntimes, &st.complexy4, &st.tcolor2,  &st.numcolors};
    for (int i = 0; i < 15; ++i) {
        if (!v.head[i]) {
            ++r.problems;
            continue;
        }
        const double x = *v.head[i];
        switch (i) {
        case kSeconds:
            r.seconds = x;
            continue;
        // Values outside their set would leave no drawing kind or colour mode chosen.
        case kMpattern:
            if (x != 0 && x != 1) {
                ++r.problems;
                continue;
            }
            break;
        case kTcolor:
            if (x != 0 && x != 1 && x != 2) {
                ++r.problems;
                continue;
            }
            break;
        case kTcolor2:
            if (x != 0 && x != 1) {
                ++r.problems;
                continue;
            }
            break;
        // The editor and the files hold 64 slots at most.
        case kNumcolors:
            *members[i] = clampTo(toInt32(x), 1, 64);
            continue;
        default:
            break;
        }
        *members[i] = x;
    }
    for (int i = 0; i < 64; ++i) {
        if (!v.colours[i]) {
            ++r.problems;
            continue;
        }
        const double x = *v.colours[i];
        if (validColour(x)) {
            st.colorlist[i + 1] = static_cast<int32_t>(x);
        } else {
            st.colorlist[i + 1] = 0;
            ++r.problems;
        }
    }

    st.centerf = 0;
    st.aprintx = st.aprintx == 1 ? 1 : 0;
    st.asavex = st.asavex == 1 ? 1 : 0;
    f.setChecked("printon", st.aprintx == 1);
    f.setChecked("printoff", st.aprintx == 0);
    f.setChecked("saveon", st.asavex == 1);
    f.setChecked("saveoff", st.asavex == 0);

    st.complexy4 = clampTo(st.complexy4, 1, 25);
    sh.setField("Text9", st.complexy4);
    return r;
}

void readTail(Shapes& sh) {
    State& st = sh.st;
    st.sharpf = clampTo(st.sharpf, 1, 9);
    sh.setField("Text10", st.sharpf);
    st.centerf = 0;
    st.mpattern2 = st.mpattern;
}

void reportProblems(Shapes& sh, int problems) {
    if (problems == 0) return;
    sh.platform->status(std::string(kSettingsFile) +
                        " is damaged or incomplete: " + std::to_string(problems) +
                        (problems == 1 ? " value" : " values") + " could not be read.");
}

bool readFileInto(Shapes& sh, bool second) {
    std::string text;
    if (!readFile(text)) return false;
    const SettingsValues v = parseSettings(text);
    if (second)
        applySettingsSecond(sh, v);
    else
        applySettingsFirst(sh, v);
    return true;
}

} // namespace

SettingsValues parseSettings(std::string_view text) {
    SettingsValues v;
    if (text.size() > kSettingsReadLimit) text = text.substr(0, kSettingsReadLimit);
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty()) return v;
    const std::vector<std::string_view> toks = splitTokens(lines[0]);
    for (size_t i = 0; i < toks.size() && i < 15; ++i) {
        bool clean = false;
        v.head[i] = tokenValue(toks[i], clean);
        if (!clean) ++v.unreadable;
    }
    for (size_t i = 1; i < lines.size() && i <= 64; ++i) {
        const std::vector<std::string_view> t = splitTokens(lines[i]);
        bool clean = false;
        v.colours[i - 1] = t.empty() ? 0.0 : tokenValue(t[0], clean);
        if (!clean || t.size() > 1) ++v.unreadable;
    }
    return v;
}

void applySettingsFirst(Shapes& sh, const SettingsValues& v) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    const Reading r = readValues(sh, v);
    if (st.tcolor == 1 && st.tcolor2 == 0) {
        f.setChecked("tcolor7", true);
        f.setChecked("bcolor7", false);
        f.setChecked("ucolors", false);
    } else if (st.tcolor == 1 && st.tcolor2 == 1) {
        f.setChecked("ucolors", true);
        f.setChecked("tcolor7", false);
        f.setChecked("bcolor7", false);
    } else if (st.tcolor == 0) {
        f.setChecked("bcolor7", true);
        f.setChecked("tcolor7", false);
        f.setChecked("ucolors", false);
    }
    readTail(sh);
    reportProblems(sh, r.problems);
}

void applySettingsSecond(Shapes& sh, const SettingsValues& v) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    const Reading r = readValues(sh, v);
    readTail(sh);
    f.setChecked("snormal", true);
    f.setChecked("scenter", false);
    if (st.mpattern == 0) {
        f.setChecked("csingle", true);
        f.setChecked("cpattern", false);
    } else if (st.mpattern == 1) {
        f.setChecked("csingle", false);
        f.setChecked("cpattern", true);
    }
    if (st.nwait4 != 1) st.nwait4 = 0;
    f.setChecked("tslow", st.nwait4 == 1);
    f.setChecked("tfast", st.nwait4 == 0);
    sh.setField("Text2", st.swidth);
    sh.setField("Text1", st.complexy2);
    sh.setField("Text4", st.nsides);
    sh.setField("Text3", st.detailf);
    if (st.complexy == 1) f.selectOption("Option1", {"Option1", "Option2"});
    if (st.complexy == 2) f.selectOption("Option2", {"Option1", "Option2"});
    if (r.seconds) sh.setField("Text5", *r.seconds);
    if (st.sharpf == 1) {
        f.setChecked("ssmooth", false);
        f.setChecked("ssharp", true);
    } else if (st.sharpf == 2) {
        f.setChecked("ssmooth", false);
        f.setChecked("ssharp", false);
    }
    if (st.ntimes < 1) st.ntimes = 1;
    reportProblems(sh, r.problems);
}

bool readSettingsFirst(Shapes& sh) {
    return readFileInto(sh, false);
}
bool readSettingsSecond(Shapes& sh) {
    return readFileInto(sh, true);
}

std::string printNumber(double v) {
    // Fifteen significant digits as the fields show them, with "." in every locale.
    char buf[40];
    std::string t = "0";
    if (std::isfinite(v)) {
        const auto r =
            std::to_chars(buf, buf + sizeof buf, v == 0 ? 0.0 : v, std::chars_format::general, 15);
        t.assign(buf, r.ptr);
    }
    if (!t.empty() && t[0] == '-') return t + " ";
    return " " + t + " ";
}

std::string settingsText(const State& st, double seconds) {
    const double head[15] = {st.detailf, st.swidth, st.complexy2, st.complexy, st.tcolor,
                             st.nsides,  seconds,   st.sharpf,    st.centerf,  st.mpattern,
                             st.nwait4,  st.ntimes, st.complexy4, st.tcolor2,  st.numcolors};
    std::string out;
    for (double x : head) out += printNumber(x);
    out += "\r\n";
    for (int i = 1; i <= 64; ++i) {
        out += i <= st.numcolors ? printNumber(st.colorlist[i]) : std::string("0");
        out += "\r\n";
    }
    out += "9999\r\n";
    return out;
}

bool saveSettings(Shapes& sh) {
    State& st = sh.st;
    st.detailf = sh.clampField("Text3", 1, 25);
    st.swidth = sh.clampField("Text2", 40, 400);
    st.complexy2 = sh.clampField("Text1", 0, 20);
    st.nsides = sh.field("Text4");
    const double seconds = clampTo(sh.field("Text5"), 1, 50);
    if (st.ntimes < 1) st.ntimes = 1;
    st.sharpf = sh.clampField("Text10", 1, 9);
    st.complexy4 = sh.clampField("Text9", 1, 25);

    std::string error;
    if (!writeFileAtomically(kSettingsFile, settingsText(st, seconds), error)) {
        sh.platform->status("Settings not saved: could not write " + std::string(kSettingsFile) +
                            " (" + error + ").");
        return false;
    }
    sh.platform->status("Settings saved in " + std::string(kSettingsFile) + ".");
    return true;
}

void restoreDefaults(Shapes& sh) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    st.numsquare = 1;
    st.numcolors = 1;
    for (int i = 1; i <= 100; ++i) st.colorlist[i] = 0;
    const double oldPattern = st.mpattern;
    f.setChecked("tslow", false);
    f.setChecked("tfast", true);
    st.nwait4 = 0;
    st.sharpf = 2;
    st.complexy4 = 1;
    f.setText("Text9", "1");
    f.setText("Text10", "2");
    st.tcolor = 1;
    st.tcolor2 = 1;
    f.setChecked("tcolor7", false);
    f.setChecked("bcolor7", false);
    f.setChecked("ucolors", true);
    st.mpattern = 1;
    st.mpattern2 = 1;
    f.setChecked("csingle", false);
    f.setChecked("cpattern", true);
    f.setEnabled("sscreen", true);
    f.setText("Text2", "200");
    st.swidth = 200;
    f.setText("Text1", "0");
    st.complexy2 = 0;
    f.setText("Text4", "4");
    st.nsides = 4;
    f.setText("Text3", "16");
    st.detailf = 16;
    f.selectOption("Option2", {"Option1", "Option2"});
    st.complexy = 2;
    f.setText("Text5", "10");
    f.setChecked("ssmooth", true);
    f.setChecked("ssharp", false);
    st.sharpf = 0;
    st.centerf = 1;
    f.setChecked("snormal", false);
    f.setChecked("scenter", true);
    if (st.ssmode == 1 && oldPattern == 0) makeshape2(sh);
}

} // namespace vx
