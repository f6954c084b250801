#include "engine/pattern.hpp"

#include "engine/fill.hpp"
#include "engine/pens.hpp"
#include "engine/recorder.hpp"
#include "engine/turns.hpp"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// The walk's chain keeps its draws in double precision and never normalises a fresh turn.
ChainRules chainRules(const WalkParams& p, int sigma) {
    ChainRules r;
    r.order = sigma;
    r.circle = sigma >= 1;
    r.deep = sigma >= 2;
    r.fancy = p.fancy;
    r.period = p.turnPeriod;
    return r;
}

// W0, at an offset from the centre, on or past a frame line.
bool atFrame(double dx, double dy, int half) {
    const double fx = std::floor(dx), fy = std::floor(dy);
    return fx <= -half || fx >= half || fy <= -half || fy >= half;
}

// The tile frame, one pixel inside the tile square.
Stroke frame(int cx, int cy, int s) {
    const double half = s / 2;
    return {StrokeKind::Box, cx - half + 1, cy - half + 1, cx + half - 1, cy + half - 1, kBorder};
}

template <class Rec>
WalkOutcome reject(Surface& sf, const WalkParams& p, Rec& rec, WalkOutcome out) {
    // The walk draws only in the tile square and one pixel past its edges (a pen is plotted
    // before the frame test), so white there is white everywhere.
    const double half = p.s / 2;
    stroke(sf, rec,
           {StrokeKind::FilledBox, p.cx - half - 2, p.cy - half - 2, p.cx + half + 2,
            p.cy + half + 2, kWhite});
    rec.attemptEnded(false);
    out.result = WalkResult::Rejected;
    return out;
}

template <class Rec> WalkOutcome walk(Surface& sf, Random& rng, const WalkParams& p, Rec& rec) {
    WalkOutcome out;
    const int cx = p.cx, cy = p.cy;
    const int half = p.s / 2;
    rec.attemptBegan();
    stroke(sf, rec, frame(cx, cy, p.s));
    TurnChain chain(rng, chainRules(p, std::clamp(p.sigma, 0, 8)));

    // W0 as an offset from the centre; the other pens are its seven images (markPen).
    double dx = 0, dy = 0;
    out.x = cx;
    out.y = cy;
    const long maxSteps = p.maxSteps > 0 ? p.maxSteps : static_cast<long>(p.s) * p.s + 4096;
    for (long steps = 0;; ++steps) {
        markPen(sf, cx, cy, dx, dy, 8);
        rec.marked({dx, dy, 8, false});
        chain.tick(rng);
        if (atFrame(dx, dy, half) || p.onePass) break;
        // A walk that circles inside the frame would never end.
        if (steps >= maxSteps) return reject(sf, p, rec, out);

        dx += chain.heading().x;
        dy += chain.heading().y;
        out.x = cx + dx;
        out.y = cy + dy;
        if (sf.pixel(cx + pixelOffset(dx), cy + pixelOffset(dy)) == kBorder) {
            out.hits += 1;
            // Past the limit the walk is lost anyway; stop drawing it.
            if (!p.ignoreHits && out.hits > p.hitLimit) return reject(sf, p, rec, out);
        }
        chain.advance();
    }
    if (!p.ignoreHits && out.hits > p.hitLimit) return reject(sf, p, rec, out);
    if (p.onePass) out.hits = 0;
    rec.attemptEnded(true);
    out.result = WalkResult::Accepted;
    return out;
}

} // namespace

WalkOutcome walkAttempt(Surface& sf, Random& rng, const WalkParams& p, Recorder* rec) {
    if (rec) return walk(sf, rng, p, *rec);
    NoRecorder none;
    return walk(sf, rng, p, none);
}

TilingEnd tilePattern(Surface& win, int s, Surface& tile) {
    const int w = win.width(), h = win.height();
    const int cx = w / 2, cy = h / 2;

    tile.resize(s + 2, s + 2);
    tile.setBackColor(kPictureBack);
    tile.paint(win, 1, 1, cx - s / 2 + 1, cy - s / 2 + 1, s, s);

    // Copies start at (1, 1) and step by s - 1, each covering the last column and row of the
    // one before, and the last copies reach past the window. So every pixel but the top row
    // and left column shows the tile's pixel ((x - 1) mod (s - 1), (y - 1) mod (s - 1)); build
    // that directly: one band of copies, then the band doubled downwards in whole rows.
    const int period = s - 1;
    win.fillBox(0, 0, bigBoxX(win), 0, kBorder);
    if (w > 1 && h > 1 && period > 0) {
        const int band = std::min(period, h - 1);
        win.fillBox(0, 0, 0, band, kBorder); // the rows below copy their left column too
        win.paint(tile, 1, 1, 1, 1, period, band);
        win.repeatAcross(1, 1, period, band);
        for (int rows = band; 1 + rows < h;) {
            const int n = std::min(rows, h - 1 - rows);
            win.copyRows(1 + rows, 1, n);
            rows += n;
        }
    } else {
        win.fillBox(0, 0, 0, bigBoxY(win), kBorder);
    }

    // Where the copying loop would have stopped: the first position past the window.
    const long across = period > 0 ? std::max(0, w - 1) / period + 1 : 1;
    const long down = period > 0 ? std::max(0, h - 1) / period + 1 : 1;
    const double aEnd = 1.0 + static_cast<double>(across) * period;
    const double bEnd = 1.0 + static_cast<double>(down) * period;
    TilingEnd end;
    end.a = 1;
    end.b = bEnd;
    end.abb = s - (aEnd - w);
    end.dbb = s - (bEnd - h);

    // The tile has served; its picture is left empty.
    tile.cls();
    return end;
}

namespace {

WalkParams walkParams(const PatternRun& run, const DrawSettings& s, const Surface& canvas,
                      const PatternLimits& limits) {
    WalkParams p;
    p.cx = canvas.width() / 2;
    p.cy = canvas.height() / 2;
    p.s = run.runSize;
    p.sigma = static_cast<int>(run.smoothLevel);
    p.fancy = s.fancy;
    p.onePass = s.sides == 8;
    p.turnPeriod = run.turnPeriod;
    p.hitLimit = run.hitLimit;
    p.maxSteps = limits.maxSteps;
    return p;
}

} // namespace

PatternRun drawPattern(const DrawSettings& s, Random& rng, Surface& canvas, Surface& tile,
                       const PatternLimits& limits, Recorder* rec, Random* colours) {
    PatternRun run;
    const double size = s.size;
    const int side = static_cast<int>(std::floor(size / 10) * 10);
    const double sigma = s.smoothness - 1;
    run.runSize = side;
    run.smoothLevel = sigma;
    run.circle = sigma >= 1;
    run.turnPeriod = std::floor((26 - s.detail) * side / 200);
    run.hitLimit = hitLimit(size, s.complexity, LimitOrder::Pattern);

    // The colour-1 blank, the clear and the colour-1 background before this white one are
    // never seen (nothing runs in between), so one white clear stands for all four.
    canvas.setBackColor(kWhite);
    WalkParams p = walkParams(run, s, canvas, limits);
    if (rec) rec->began({DrawingKind::Pattern, canvas.width(), canvas.height(), p.cx, p.cy, side});

    while (run.attempts < limits.maxAttempts && !run.accepted) {
        p.ignoreHits = run.attempts >= limits.relaxAfter;
        const WalkOutcome walk = walkAttempt(canvas, rng, p, rec);
        run.accepted = walk.result == WalkResult::Accepted;
        run.hits = walk.hits;
        ++run.attempts;
    }
    if (!run.accepted) {
        // Every walk wandered off: a plain framed tile still gives a pattern.
        const Stroke box = frame(p.cx, p.cy, side);
        drawStroke(canvas, box);
        if (rec) rec->stroked(box);
        run.hits = 0;
    }

    run.colour = colourTile(canvas, s.colour, colours ? *colours : rng, p.cx, p.cy, side,
                            p.onePass ? 8 : 4, rec);
    run.tiling = tilePattern(canvas, side, tile);
    if (rec) {
        rec->tiled(side);
        rec->ended();
    }
    return run;
}

} // namespace vx
