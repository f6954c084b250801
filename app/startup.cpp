#include "app/startup.hpp"

#include "app/generators.hpp"
#include "app/panel.hpp"
#include "app/settings.hpp"

namespace vx {

namespace {

double innerWidth(const Shapes& sh) {
    return sh.surface.width();
}
double innerHeight(const Shapes& sh) {
    return sh.surface.height();
}

void placePicture1(Shapes& sh) {
    sh.form.move("Picture1", toInt32(sh.st.abb), toInt32(sh.st.dbb));
}

// After "Begin": the menus, the moving picture's start, the second reading of the
// settings file and the first drawing.
void firstDrawing(Shapes& sh) {
    State& st = sh.st;
    st.ffb = 1;
    for (auto m : {"options", "patmode", "moptions5"}) sh.form.setEnabled(m, true);
    st.mpattern = 1;
    st.mpattern2 = 1;
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
    if (st.mpattern == 0)
        makeshape(sh);
    else if (st.mpattern == 1)
        makeshape2(sh);
}

// The end of a pass: the picture at its new place, bounced off the window's edges.
void passTail(Shapes& sh) {
    State& st = sh.st;
    placePicture1(sh);
    if (st.abb + st.swidth + st.awb > innerWidth(sh) || st.abb + st.awb < 0) st.awb = -st.awb;
    if (st.dbb + st.swidth + st.bwb > innerHeight(sh) || st.dbb + st.bwb < 0) st.bwb = -st.bwb;
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

} // namespace

void startup(Shapes& sh) {
    State& st = sh.st;
    sh.loop.phase = kPreparing;
    st.swidth999 = 0;
    st.numcolors = 1;
    st.sharpf = 2;
    st.tcolor = 1;
    st.tcolor2 = 1;
    st.detailf = 16;
    st.complexy = 2;
    readSettingsFirst(sh);
    st.ntimes = 10;
    st.nwait4 = 0;
    st.centerf = 0;
    sh.rng.seed(static_cast<uint64_t>(sh.platform->clockSeconds() * 1000.0));
    st.ssg = 4;
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
    for (auto m : {"editcolors", "options", "patmode"}) sh.form.setVisible(m, true);
}

void timer6Tick(Shapes& sh) {
    if (sh.st.colormode4 != 0 || sh.loop.phase != kMainPage) return;
    makeshape2(sh);
}

bool mainLoopTick(Shapes& sh) {
    State& st = sh.st;
    if (sh.loop.phase == kMainPage && !sh.form.enabled("Timer6")) {
        sh.loop.phase = kFirstDrawing;
        firstDrawing(sh);
        sh.loop.phase = kMainLoop;
        return true;
    }
    if (sh.loop.phase != kMainLoop) return false;
    if (sh.loop.waiting && !endSlowWait(sh)) return false;
    for (int i = 0; i < kLoopPassesPerTick; ++i) {
        // Nothing moves while a pattern is on screen.
        if (st.mpattern2 != 0) break;
        if (!mainLoopPass(sh)) break;
    }
    return false;
}

bool mainLoopPass(Shapes& sh) {
    State& st = sh.st;
    if (st.mpattern2 != 0) return true;
    const bool slow = sh.form.visible("Picture1") && st.nwait4 == 1;
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
