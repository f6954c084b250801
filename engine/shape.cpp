#include "engine/shape.hpp"

#include "engine/tracer.hpp"
#include "engine/turns.hpp"

#include <cmath>

namespace vx {

namespace {

TraceParams traceParams(const ShapeRun& run, const DrawSettings& s, const Surface& canvas) {
    TraceParams p;
    p.cx = static_cast<int>(std::floor(canvas.width() / 2.0));
    p.cy = static_cast<int>(std::floor(canvas.height() / 2.0));
    p.s = run.runSize;
    p.w = static_cast<int>(run.smoothLevel);
    p.circle = run.circle;
    p.deep = run.deepChain;
    p.fancy = s.fancy;
    // Only 2 and 8 change the pens; every other count draws like 4.
    p.nsides = s.sides == 2 ? 2 : (s.sides == 8 ? 8 : 4);
    p.turnPeriod = run.turnPeriod;
    p.hitLimit = run.hitLimit;
    return p;
}

} // namespace

ShapeRun drawShape(const DrawSettings& s, Random& rng, Surface& canvas, Surface& picture,
                   Recorder* rec, Random* colours) {
    ShapeRun run;
    const double size = s.size;
    const double level = s.smoothness - 1;
    run.smoothLevel = level;
    run.deepChain = level >= 2;
    run.circle = level >= 1;
    run.runSize = static_cast<int>(std::floor(size / 10) * 10);
    run.turnPeriod = static_cast<int>(std::floor((26 - s.detail) * run.runSize / 200));
    run.hitLimit = hitLimit(size, s.complexity, LimitOrder::Shape);

    // Blanking to colour 1, clearing, and the two background colours the window goes through
    // follow each other with nothing shown in between; only the last, white, counts.
    canvas.setBackColor(kWhite);

    TraceParams p = traceParams(run, s, canvas);
    if (rec)
        rec->began({DrawingKind::Shape, canvas.width(), canvas.height(), p.cx, p.cy, run.runSize});

    // Attempts until one closes; past a very large number the hit limit is dropped, and a run
    // that still finds nothing ends with a blank square rather than hanging.
    while (run.attempts < kMaxAttempts && !run.closed) {
        p.ignoreHits = run.attempts >= kRelaxAfterAttempts;
        const TraceOutcome t = traceAttempt(canvas, rng, p, rec);
        run.closed = t.result == TraceResult::Closed;
        run.hits = t.hits;
        ++run.attempts;
    }
    if (run.closed)
        run.colour =
            colourShape(canvas, s.colour, colours ? *colours : rng, p.cx, p.cy, p.s, p.nsides, rec);
    else
        run.colour.lastpick = s.colour.lastpick;

    const int side = run.runSize;
    picture.resize(side + 2, side + 2);
    picture.setBackColor(kPictureBack);
    picture.paint(canvas, 1, 1, p.cx - side / 2 + 1, p.cy - side / 2 + 1, side, side);
    if (rec) rec->ended();
    return run;
}

} // namespace vx
