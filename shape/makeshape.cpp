#include "shape/makeshape.hpp"

#include "shape/tracer.hpp"

#include <cmath>

namespace vx {

namespace {

struct Fields {
    double detail, complexity, smooth, size, shapeComplexity;
};

Fields readFields(Shapes& sh) {
    Fields f;
    f.detail = sh.clampField("Text3", 1, 25);
    f.complexity = sh.clampField("Text9", 1, 25);
    f.smooth = sh.clampField("Text10", 1, 9);
    f.size = sh.clampField("Text2", 40, 400);
    f.shapeComplexity = sh.clampField("Text1", 0, 20);
    State& st = sh.st;
    st.detailf = f.detail;
    st.complexy4 = f.complexity;
    st.sharpf = f.smooth;
    st.swidth = f.size;
    st.complexy2 = f.shapeComplexity;
    return f;
}

} // namespace

void resetColourBookkeeping(State& st) {
    st.recentCount = 0;
    for (int i = 1; i <= 15; ++i) st.recentcolors[i] = 0;
    st.recentcolors[0] = st.recentcolors[7] = st.recentcolors[15] = 1;
}

void makeshape(Shapes& sh) {
    State& st = sh.st;
    ui::Form& form = sh.form;
    sh.platform->maximise(sh);
    sh.clampField("Text5", 1, 50);
    st.mpattern2 = st.mpattern;

    st.swidth = sh.clampField("Text2", 40, 400);
    if (st.ggbbc == 1 || (st.ggbbc == 0 && sh.field("Text2") != st.swidth999 && st.mpattern == 0)) {
        st.awb = driftStep(sh.rng);
        st.bwb = driftStep(sh.rng);
        st.abb = std::floor(sh.surface.width() / 2.0) - st.swidth / 2;
        st.dbb = std::floor(sh.surface.height() / 2.0) - st.swidth / 2;
        form.move("Picture1", toInt32(st.abb), toInt32(st.dbb));
    }
    st.ggbbc = 0;

    readFields(sh);
    st.swidth999 = toInt16(sh.field("Text2"));
    sh.platform->pumpEvents();

    const bool timerWasOn = form.enabled("Timer1");
    form.setEnabled("Timer1", false);

    // Read again: a change made while events ran counts.
    const Fields f = readFields(sh);
    st.detailfz = 26 - st.detailf;
    st.complexy4 = (f.size / 2) / 25 * (f.complexity - 1) + f.size / 4;
    st.sharpf = st.sharpf - 1;
    const bool deep = st.sharpf >= 2;
    const double keptSize = st.swidth;
    st.swidth = std::floor(st.swidth / 10) * 10;
    st.nsides = sh.field("Text4");
    st.complexy = form.checked("Option2") ? 2 : 1;
    st.detailfz = std::floor(st.detailfz * st.swidth / 200);
    st.circle2 = st.sharpf >= 1 ? 1 : 0;
    st.centerf = 0;
    st.bbld = 0;
    st.hhb = 0;
    st.colorfz = 1;
    resetColourBookkeeping(st);

    // Blanking to colour 1, clearing, and the two background colours follow each other with
    // no events in between; only the last, a white surface, can ever be seen.
    sh.surface.setBackColor(kWhite);

    TraceParams p;
    p.cx = static_cast<int>(std::floor(sh.surface.width() / 2.0));
    p.cy = static_cast<int>(std::floor(sh.surface.height() / 2.0));
    p.s = st.swidth;
    p.w = static_cast<int>(st.sharpf);
    p.circle = st.circle2 == 1;
    p.deep = deep;
    p.fancy = st.complexy == 2;
    // Only 2 and 8 change the pens; every other count draws like 4.
    p.nsides = st.nsides == 2 ? 2 : (st.nsides == 8 ? 8 : 4);
    p.turnPeriod = static_cast<int>(st.detailfz);
    p.hitLimit = st.complexy4;

    // Attempts until one closes; past a very large number the hit limit is dropped, and a run
    // that still finds nothing ends with a blank square rather than hanging.
    bool closed = false;
    long attempts = 0;
    while (attempts < kMaxAttempts && !closed) {
        p.ignoreHits = attempts >= kRelaxAfterAttempts;
        closed = traceAttempt(sh, p) == TraceResult::Closed;
        ++attempts;
    }
    st.lastRun = {attempts, closed, static_cast<int>(p.s), p.w, p.deep, p.turnPeriod, p.hitLimit};
    if (closed) colourShape(sh, p.cx, p.cy, p.s, p.nsides);

    const int s = static_cast<int>(st.swidth);
    sh.picture1.resize(s + 2, s + 2);
    form.resize("Picture1", s + 2, s + 2);
    sh.picture1.cls();
    sh.picture1.paint(sh.surface, 1, 1, p.cx - s / 2 + 1, p.cy - s / 2 + 1, s, s);
    if (st.ssmode == 1) blankWindow(sh, kBorder);
    st.centerf = 0;
    st.nosave = 0;
    st.sharpf = st.sharpf + 1;
    st.bbmv = 1;
    form.setEnabled("pscreen", false);
    form.setEnabled("sscreen", true);
    if (st.ssmode == 1) form.setVisible("Picture1", true);
    form.setEnabled("Timer1", timerWasOn);
    st.swidth = keptSize;
}

} // namespace vx
