#include "app/generators.hpp"

#include "app/fields.hpp"
#include "engine/fill.hpp"

#include <cmath>

namespace vx {

namespace {

// The end of every drawing: what was made, the menu items, Timer1 given back.
void finishRun(Shapes& sh, double bbmv, bool timerWasOn, double keptSize) {
    State& st = sh.st;
    st.centerf = 0;
    st.nosave = 0;
    st.bbmv = bbmv;
    sh.form.setEnabled("pscreen", bbmv == 2);
    sh.form.setEnabled("sscreen", true);
    if (bbmv == 1 && st.ssmode == 1) sh.form.setVisible("Picture1", true);
    sh.form.setEnabled("Timer1", timerWasOn);
    st.swidth = keptSize;
}

// Pauses Timer1 for a run; returns whether it was on.
bool pauseTimer1(Shapes& sh) {
    const bool on = sh.form.enabled("Timer1");
    sh.form.setEnabled("Timer1", false);
    return on;
}

} // namespace

ShapeRun makeshape(Shapes& sh) {
    State& st = sh.st;
    ui::Form& form = sh.form;
    sh.platform->maximise();
    readField(sh, kSecondsField);
    st.mpattern2 = st.mpattern;

    const DrawSettings first = readDrawSettings(sh);
    // A new size starts the moving picture afresh from the middle.
    if (st.ggbbc == 1 || (st.ggbbc == 0 && first.size != st.swidth999 && st.mpattern == 0)) {
        st.awb = driftStep(sh.rng);
        st.bwb = driftStep(sh.rng);
        st.abb = std::floor(sh.surface.width() / 2.0) - st.swidth / 2;
        st.dbb = std::floor(sh.surface.height() / 2.0) - st.swidth / 2;
        form.move("Picture1", toInt32(st.abb), toInt32(st.dbb));
    }
    st.ggbbc = 0;
    st.swidth999 = toInt16(first.size);
    sh.platform->pumpEvents();
    // "Quit" chosen while events ran ends the program, not after another drawing.
    if (sh.quitting) return {};
    const bool timerWasOn = pauseTimer1(sh);

    // Read again: a change made while events ran counts.
    const DrawSettings s = readDrawSettings(sh);
    st.complexy = s.fancy ? 2 : 1;
    st.centerf = 0;
    const double keptSize = st.swidth;

    const ShapeRun run = drawShape(s, sh.rng, sh.surface, sh.picture1);
    st.lastpick = run.colour.lastpick;
    form.resize("Picture1", sh.picture1.width(), sh.picture1.height());
    // In screen-saver mode the window shows only Picture1.
    if (st.ssmode == 1) blankWindow(sh.surface, kBorder);
    finishRun(sh, 1, timerWasOn, keptSize);
    return run;
}

PatternRun makeshape2(Shapes& sh) {
    return makeshape2(sh, PatternLimits{});
}

PatternRun makeshape2(Shapes& sh, const PatternLimits& limits) {
    State& st = sh.st;
    ui::Form& form = sh.form;
    sh.platform->maximise();
    DrawSettings s = readDrawSettings(sh);
    readField(sh, kSecondsField);
    st.mpattern2 = st.mpattern;
    st.ggbbc = 1;

    if (st.ffb == 1) sh.platform->pumpEvents();
    if (sh.quitting) return {};
    const bool timerWasOn = pauseTimer1(sh);
    form.setVisible("Picture1", false);

    // The style and the colours as they are after the yield.
    s.fancy = form.checked("Option2");
    s.colour = colourSettings(st);
    st.complexy = s.fancy ? 2 : 1;
    st.centerf = 1;
    const double keptSize = st.swidth;

    const PatternRun run = drawPattern(s, sh.rng, sh.surface, sh.picture1, limits);
    st.lastpick = run.colour.lastpick;
    form.resize("Picture1", sh.picture1.width(), sh.picture1.height());
    st.abb = run.tiling.abb;
    st.dbb = run.tiling.dbb;
    if (!run.accepted) sh.platform->status("No curve fitted the tile; the pattern is plain.");
    finishRun(sh, 2, timerWasOn, keptSize);
    return run;
}

} // namespace vx
