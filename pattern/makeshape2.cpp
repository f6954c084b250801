#include "pattern/makeshape2.hpp"

#include "shape/makeshape.hpp"
#include "shape/tracer.hpp"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// A component with a random sign: one draw chooses the sign, a second gives the size.
double signedRandom(Random& rng) {
    const int c = static_cast<int>(std::floor(2 * rng.next())) + 1;
    return c == 1 ? rng.next() : rng.next() - 1;
}

// The step and level 1 start downwards.
Vec2 stepPair(Random& rng) {
    for (int tries = 0; tries < 1000; ++tries) {
        const double x = signedRandom(rng);
        const double y = rng.next();
        if (x != 0 && y != 0) return {x, y};
    }
    return {0.5, 0.25}; // unreachable with a working random source
}

// Levels 2 and up may point upwards with fancy shapes, and never lie on a diagonal.
Vec2 levelPair(Random& rng, bool fancy) {
    for (int tries = 0; tries < 1000; ++tries) {
        const double x = signedRandom(rng);
        double y = rng.next();
        if (fancy) y = signedRandom(rng);
        if (x != 0 && y != 0 && std::fabs(x) != std::fabs(y)) return {x, y};
    }
    return {0.5, 0.25};
}

struct Chain {
    Vec2 step, l1, l2, l3;
    Vec2 deep[8]; // levels 4 and up at indices 1..sigma-2
};

} // namespace

WalkResult walkAttempt(Shapes& sh, const WalkParams& p) {
    State& st = sh.st;
    Surface& sf = sh.surface;
    const int cx = p.cx, cy = p.cy;
    const int half = p.s / 2;
    const int sigma = std::clamp(p.sigma, 0, 8);

    sf.box(cx - half + 1, cy - half + 1, cx + half - 1, cy + half - 1, kBorder);
    st.bbld = 0;
    st.hhmn = 0;

    // W0 as an offset from the centre; the other pens are its seven images, so that mirrored
    // pens always select mirrored pixels.
    double dx = 0, dy = 0;
    st.a = cx;
    st.b = cy;

    Chain ch;
    ch.step = stepPair(sh.rng);
    ch.l1 = stepPair(sh.rng);
    ch.l3 = levelPair(sh.rng, p.fancy);
    ch.l2 = levelPair(sh.rng, p.fancy);
    for (int k = 1; k <= sigma - 2; ++k) ch.deep[k] = levelPair(sh.rng, p.fancy);
    Vec2& top = sigma <= 2 ? ch.l3 : ch.deep[sigma - 2];

    double turns = 0, turnLimit = p.turnPeriod;
    const long maxSteps = p.maxSteps > 0 ? p.maxSteps : static_cast<long>(p.s) * p.s + 4096;
    // The walk draws only in the tile square and one pixel past its edges (a pen is plotted
    // before the frame test), so white there is white everywhere.
    auto reject = [&]() {
        sf.fillBox(cx - half - 2, cy - half - 2, cx + half + 2, cy + half + 2, kWhite);
        return WalkResult::Rejected;
    };

    for (long steps = 0;; ++steps) {
        const int rx = pixelOffset(dx), ry = pixelOffset(dy);
        sf.setPixel(cx + rx, cy + ry, kBorder);
        sf.setPixel(cx - rx, cy + ry, kBorder);
        sf.setPixel(cx - rx, cy - ry, kBorder);
        sf.setPixel(cx + rx, cy - ry, kBorder);
        sf.setPixel(cx + ry, cy - rx, kBorder);
        sf.setPixel(cx + ry, cy + rx, kBorder);
        sf.setPixel(cx - ry, cy + rx, kBorder);
        sf.setPixel(cx - ry, cy - rx, kBorder);

        turns += 1;
        if (turns > turnLimit) {
            turns = 0;
            turnLimit = p.turnPeriod;
            top = levelPair(sh.rng, p.fancy);
        }
        const double fx = std::floor(dx), fy = std::floor(dy);
        if (fx <= -half || fx >= half || fy <= -half || fy >= half) break;
        if (p.onePass) break;
        // A walk that circles inside the frame would never end.
        if (steps >= maxSteps) return reject();

        dx += ch.step.x;
        dy += ch.step.y;
        st.a = cx + dx;
        st.b = cy + dy;
        if (sf.pixel(cx + pixelOffset(dx), cy + pixelOffset(dy)) == kBorder) {
            st.hhmn += 1;
            // Past the limit the walk is lost anyway; stop drawing it.
            if (!p.ignoreHits && st.hhmn > p.hitLimit) return reject();
        }

        feedTurn(ch.step, sigma == 0 ? ch.l3 : ch.l1);
        normaliseTurn(ch.step);
        feedTurn(ch.l1, sigma < 2 ? ch.l3 : ch.l2);
        normaliseTurn(ch.l1);
        feedTurn(ch.l2, ch.l3);
        if (sigma >= 2) normaliseTurn(ch.l2);
        if (sigma > 2) {
            feedTurn(ch.l3, ch.deep[1]);
            normaliseTurn(ch.l3);
            for (int k = 1; k <= sigma - 3; ++k) {
                feedTurn(ch.deep[k], ch.deep[k + 1]);
                normaliseTurn(ch.deep[k]);
            }
        }
    }
    if (!p.ignoreHits && st.hhmn > p.hitLimit) return reject();
    if (p.onePass) st.hhmn = 0;
    return WalkResult::Accepted;
}

void tilePattern(Shapes& sh, int s) {
    State& st = sh.st;
    Surface& win = sh.surface;
    const int w = win.width(), h = win.height();
    const int cx = w / 2, cy = h / 2;

    sh.picture1.resize(s + 2, s + 2);
    sh.form.resize("Picture1", s + 2, s + 2);
    sh.picture1.cls();
    sh.picture1.paint(win, 1, 1, cx - s / 2 + 1, cy - s / 2 + 1, s, s);

    // Copies start at (1, 1) and step by s - 1, each covering the last column and row of the
    // one before, and the last copies reach past the window. So every pixel but the top row
    // and left column shows the tile's pixel ((x - 1) mod (s - 1), (y - 1) mod (s - 1)); build
    // that directly: one band of copies, then the band doubled downwards in whole rows.
    const int period = s - 1;
    win.fillBox(0, 0, bigBoxX(sh), 0, kBorder);
    if (w > 1 && h > 1 && period > 0) {
        const int band = std::min(period, h - 1);
        win.fillBox(0, 0, 0, band, kBorder); // the rows below copy their left column too
        win.paint(sh.picture1, 1, 1, 1, 1, period, band);
        win.repeatAcross(1, 1, period, band);
        for (int rows = band; 1 + rows < h;) {
            const int n = std::min(rows, h - 1 - rows);
            win.copyRows(1 + rows, 1, n);
            rows += n;
        }
    } else {
        win.fillBox(0, 0, 0, bigBoxY(sh), kBorder);
    }

    // Where the copying loop would have stopped: the first position past the window.
    const long across = period > 0 ? std::max(0, w - 1) / period + 1 : 1;
    const long down = period > 0 ? std::max(0, h - 1) / period + 1 : 1;
    const double aEnd = 1.0 + static_cast<double>(across) * period;
    const double bEnd = 1.0 + static_cast<double>(down) * period;
    st.a = 1;
    st.b = bEnd;
    st.abb = s - (aEnd - w);
    st.dbb = s - (bEnd - h);

    // The tile has served; Picture1 is left empty.
    sh.picture1.cls();
}

void makeshape2(Shapes& sh) {
    makeshape2(sh, PatternLimits{});
}

void makeshape2(Shapes& sh, const PatternLimits& limits) {
    State& st = sh.st;
    ui::Form& form = sh.form;
    sh.platform->maximise(sh);

    st.swidth = sh.clampField("Text2", 40, 400);
    st.detailf = sh.clampField("Text3", 1, 25);
    st.complexy4 = sh.clampField("Text9", 1, 25);
    st.sharpf = sh.clampField("Text10", 1, 9);
    st.complexy2 = sh.clampField("Text1", 0, 20);
    st.nsides = sh.field("Text4");
    sh.clampField("Text5", 1, 50);
    st.mpattern2 = st.mpattern;
    st.ggbbc = 1;

    if (st.ffb == 1) sh.platform->pumpEvents();

    const bool timerWasOn = form.enabled("Timer1");
    form.setEnabled("Timer1", false);

    form.setVisible("Picture1", false);

    const double keptSize = st.swidth;
    const int s = static_cast<int>(std::floor(keptSize / 10) * 10);
    st.detailfz = 26 - st.detailf;
    st.complexy4 = keptSize / 4 + (st.complexy4 - 1) * (keptSize / 2) / 25;
    st.sharpf = st.sharpf - 1;
    const double sigma = st.sharpf;
    st.swidth = s;
    st.detailfz = std::floor(st.detailfz * s / 200);
    st.complexy = form.checked("Option2") ? 2 : 1;
    st.circle2 = sigma >= 1 ? 1 : 0;
    st.centerf = 1;
    resetColourBookkeeping(st);

    // The colour-1 blank, the clear and the colour-1 background before this white one are
    // never seen (nothing runs in between), so one white clear stands for all four.
    sh.surface.setBackColor(kWhite);

    WalkParams p;
    p.cx = sh.surface.width() / 2;
    p.cy = sh.surface.height() / 2;
    p.s = s;
    p.sigma = static_cast<int>(sigma);
    p.fancy = st.complexy == 2;
    p.onePass = st.nsides == 8;
    p.turnPeriod = st.detailfz;
    p.hitLimit = st.complexy4;
    p.maxSteps = limits.maxSteps;

    bool accepted = false;
    for (long attempt = 0; attempt < limits.maxAttempts && !accepted; ++attempt) {
        p.ignoreHits = attempt >= limits.relaxAfter;
        accepted = walkAttempt(sh, p) == WalkResult::Accepted;
    }
    if (!accepted) {
        // Every walk wandered off: a plain framed tile still gives a pattern.
        sh.surface.box(p.cx - s / 2 + 1, p.cy - s / 2 + 1, p.cx + s / 2 - 1, p.cy + s / 2 - 1,
                       kBorder);
        st.hhmn = 0;
        sh.platform->status("No curve fitted the tile; the pattern is plain.");
    }

    colourTile(sh, p.cx, p.cy, s, p.onePass ? 8 : 4);
    tilePattern(sh, s);

    st.centerf = 0;
    st.nosave = 0;
    st.sharpf = sigma + 1;
    st.bbmv = 2;
    form.setEnabled("pscreen", true);
    form.setEnabled("sscreen", true);
    form.setEnabled("Timer1", timerWasOn);
    st.swidth = keptSize;
}

} // namespace vx
