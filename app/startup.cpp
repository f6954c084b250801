#include "app/startup.hpp"

#include "app/editor.hpp"
#include "app/generators.hpp"
#include "app/panel.hpp"
#include "app/settings.hpp"
#include "platform/files.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vx {

namespace {

// The names of the files the window writes in its working folder: the settings, the editor's
// scratch bitmap, palettes, and the numbered names of saves, prints and exports.
bool windowFileName(const std::string& name) {
    if (name == kSettingsFile || name == kDrawingKeptFile) return true;
    auto endsWith = [&](const std::string& tail) {
        return name.size() > tail.size() &&
               name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(".palette")) return true;
    static const std::pair<const char*, const char*> kNumbered[] = {
        {"pattern", ".bmp"}, {"shape", ".bmp"},   {"pattern", ".svg"}, {"pattern", ".pdf"},
        {"shape", ".svg"},   {"shape", ".pdf"},   {"poster", ".png"},  {"wallpaper", ".png"},
        {"print", ".pdf"},   {"palette", ".gpl"}, {"palette", ".ase"}, {"palette", ".hex"}};
    for (const auto& [prefix, suffix] : kNumbered) {
        const std::string p = prefix, x = suffix;
        if (name.size() <= p.size() + x.size() || name.compare(0, p.size(), p) != 0 || !endsWith(x))
            continue;
        const std::string n = name.substr(p.size(), name.size() - p.size() - x.size());
        if (n[0] != '0' && std::all_of(n.begin(), n.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c));
            }))
            return true;
    }
    return false;
}

double innerWidth(const Shapes& sh) {
    return sh.surface.width();
}
double innerHeight(const Shapes& sh) {
    return sh.surface.height();
}

// After "Begin": the menus, the moving picture's start, the second reading of the
// settings file and the first drawing.
void firstDrawing(Shapes& sh) {
    State& st = sh.st;
    st.ffb = 1;
    for (auto m : {"options", "patmode", "moptions5"}) sh.form.setEnabled(m, true);
    st.mpattern = kPatternKind;
    st.mpattern2 = kPatternKind;
    sh.form.setChecked("csingle", false);
    sh.form.setChecked("cpattern", true);
    st.swidth = 200;
    sh.form.setText("Text2", "200");
    sh.platform->pumpEvents();
    // The moving picture's start: a random place and drift.
    st.abb = vfloor(sh.rng.next() * (innerWidth(sh) - st.swidth / 2 - 10)) + 1;
    st.dbb = vfloor(sh.rng.next() * (innerHeight(sh) - st.swidth / 2 - 10)) + 1;
    st.awb = driftStep(sh.rng);
    st.bwb = driftStep(sh.rng);
    readSettingsSecond(sh);
    sh.platform->pumpEvents();
    if (st.mpattern == kShapeKind)
        makeshape(sh);
    else if (st.mpattern == kPatternKind)
        makeshape2(sh);
}

// Where the picture is placed; the frame shows the last place once.
void placePicture1(Shapes& sh) {
    sh.loop.placeX = sh.st.abb;
    sh.loop.placeY = sh.st.dbb;
    sh.loop.placed = true;
}

// The end of a pass: the picture at its new place, bounced off the window's edges.
void passTail(Shapes& sh) {
    State& st = sh.st;
    placePicture1(sh);
    bounce(st.abb, st.awb, st.swidth, innerWidth(sh));
    bounce(st.dbb, st.bwb, st.swidth, innerHeight(sh));
}

// Ends the slow-animation wait once its tick has come, or after the bound. False while it
// still waits.
bool endSlowWait(Shapes& sh) {
    State& st = sh.st;
    if (st.hhmmf != 0 && ++sh.loop.waitTicks < kMaxSlowWaitTicks) return false;
    // Without its tick (say, while the colour editor swallows all ticks) the picture would
    // stand still for ever.
    st.hhmmf = 0;
    sh.loop.waiting = false;
    sh.loop.waitTicks = 0;
    sh.form.setEnabled("Timer2", false);
    passTail(sh);
    return true;
}

// A pass at "Slow" with the picture on screen moves a whole pixel and waits for Timer2.
bool slowPasses(const Shapes& sh) {
    return sh.form.visible("Picture1") && sh.st.nwait4 == kSlowAnimation;
}

// The frame shows the picture where the passes left it, once.
void showPicture1(Shapes& sh) {
    if (!sh.loop.placed) return;
    sh.loop.placed = false;
    sh.form.move("Picture1", toInt32(sh.loop.placeX), toInt32(sh.loop.placeY));
}

} // namespace

// The left (or top) edge stays between 0 and W - side when the window holds the picture, else
// between W - side and 0, so that a picture larger than the window still glides over what the
// window shows. An edge outside the range (the window shrank) comes back into it.
double keepInside(double pos, double side, double extent) {
    return std::clamp(pos, std::min(0.0, extent - side), std::max(0.0, extent - side));
}

void bounce(double& pos, double& step, double side, double extent) {
    pos = keepInside(pos, side, extent);
    if (keepInside(pos + step, side, extent) != pos + step) step = -step;
}

void keepPicture1Inside(Shapes& sh) {
    State& st = sh.st;
    st.abb = keepInside(st.abb, st.swidth, innerWidth(sh));
    st.dbb = keepInside(st.dbb, st.swidth, innerHeight(sh));
    sh.form.move("Picture1", toInt32(st.abb), toInt32(st.dbb));
}

void startValues(Shapes& sh, const std::string& file, uint64_t salt) {
    State& st = sh.st;
    st.swidth999 = 0;
    st.palettename.clear();
    st.numsquare = 1;
    st.numcolors = 1;
    st.sharpf = 2;
    st.tcolor = kTrueColours;
    st.tcolor2 = kListOn;
    st.detailf = 16;
    st.complexy = kFancyShapes;
    readSettingsFirst(sh, file);
    st.ntimes = 10;
    st.nwait4 = kFastAnimation;
    st.centerf = 0;
    sh.rng.seed(static_cast<uint64_t>(sh.platform->clockSeconds() * 1000.0) + salt);
    st.ssg = 4;
}

void startup(Shapes& sh) {
    State& st = sh.st;
    sh.loop.phase = kPreparing;
    // What a killed write of an earlier run left behind.
    removeStaleTemporaries(windowFileName);
    startValues(sh, kSettingsFile);
    st.swidth = 100;
    sh.form.setText("Text2", "100");
    makeshape2(sh);
    // "Begin" may have been pressed while that first pattern was drawn; then the main page
    // is already over and its timer must stay off.
    if (sh.form.visible("Command4")) sh.form.setEnabled("Timer6", true);
    sh.loop.phase = kMainPage;
}

void command4Click(Shapes& sh) {
    if (sh.loop.phase > kMainPage) return;
    sh.surface.fillBox(0, 0, 1000, 1000, kBorder);
    sh.form.setEnabled("Timer6", false);
    sh.form.setVisible("Command4", false);
    showOptionsPanel(sh);
    sh.form.setVisible("editcolors", true);
    for (const char* m : kDrawingMenus) sh.form.setVisible(m, true);
}

void timer6Tick(Shapes& sh) {
    if (sh.st.colormode4 != kEditorClosed || sh.loop.phase != kMainPage) return;
    makeshape2(sh);
}

bool mainLoopTick(Shapes& sh) {
    return mainLoopTick(sh, sh.platform->steadySeconds());
}

bool mainLoopTick(Shapes& sh, double now) {
    State& st = sh.st;
    Shapes::Loop& loop = sh.loop;
    if (loop.phase == kMainPage && !sh.form.enabled("Timer6")) {
        loop.phase = kFirstDrawing;
        firstDrawing(sh);
        loop.phase = kMainLoop;
        loop.lastFrame = now;
        return true;
    }
    if (loop.phase != kMainLoop) return false;
    // The passes due since the last frame, at a fixed rate; a late frame (after a drawing, or
    // a paused process) is not made up beyond one short gap, so the picture never jumps.
    const double gap = std::clamp(now - loop.lastFrame, 0.0, kMaxFrameGap);
    loop.lastFrame = now;
    if (loop.waiting && !endSlowWait(sh)) return false;
    if (st.mpattern2 != kShapeKind) {
        // Nothing moves while a pattern is on screen.
        loop.credit = 0;
        return false;
    }
    const double rate = slowPasses(sh) ? kSlowPassesPerSecond : kFastPassesPerSecond;
    loop.credit = std::clamp(loop.credit + gap * rate, -0.5, rate * kMaxFrameGap);
    // Rounded, not cut: frames a little early or late still get a frame's passes, and what
    // they get too many or too few evens out over the next frames.
    const long passes = static_cast<long>(std::floor(loop.credit + 0.5));
    loop.credit -= static_cast<double>(passes);
    for (long i = 0; i < passes; ++i)
        if (!mainLoopPass(sh)) break;
    showPicture1(sh);
    return false;
}

bool mainLoopPass(Shapes& sh) {
    State& st = sh.st;
    if (st.mpattern2 != kShapeKind) return true;
    const bool slow = slowPasses(sh);
    if (slow) {
        st.awb *= 100;
        st.bwb *= 100;
        placePicture1(sh);
    }
    st.abb += st.awb;
    st.dbb += st.bwb;
    if (slow) {
        st.awb /= 100;
        st.bwb /= 100;
        st.hhmmf = 1;
        sh.form.setInterval("Timer2", 1);
        sh.form.setEnabled("Timer2", true);
        sh.loop.waiting = true;
        sh.loop.waitTicks = 0;
        return false;
    }
    passTail(sh);
    return true;
}

} // namespace vx
