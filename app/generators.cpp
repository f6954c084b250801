#include "app/generators.hpp"

#include "app/fields.hpp"
#include "app/history.hpp"
#include "app/startup.hpp"
#include "engine/fill.hpp"
#include "model/code.hpp"

#include <cmath>

namespace vx {

namespace {

// The end of every drawing: what was made, the menu items, Timer1 given back.
void finishRun(Shapes& sh, double bbmv, bool timerWasOn, double keptSize) {
    State& st = sh.st;
    st.centerf = 0;
    st.nosave = 0;
    st.bbmv = bbmv;
    sh.form.setEnabled("pscreen", bbmv == kShownPattern);
    sh.form.setEnabled("sscreen", true);
    if (bbmv == kShownShape && st.ssmode == kSaverMode) sh.form.setVisible("Picture1", true);
    sh.form.setEnabled("Timer1", timerWasOn);
    st.swidth = keptSize;
}

// The drawing is made: its code goes to the history (unless it is an earlier one shown again)
// and to the status line.
void noteDrawing(Shapes& sh, DrawingKind kind, const DrawRequest& req, uint64_t seed,
                 const DrawSettings& s, const std::string& before = {}) {
    Drawing d{kind, seed, s, sh.surface.width(), sh.surface.height(), req.newColours};
    const bool record = req.record;
    const std::string code = drawingCode(d);
    if (record) sh.history.add(code);
    markHistoryEnds(sh);
    sh.lastDrawing = std::move(d);
    std::string line = (before.empty() ? "" : before + " ") + "Drawing " + code;
    // Once, as soon as the menu is there: where the code can be copied from.
    if (!sh.codeHintShown && sh.form.visible("history")) {
        line += " (" + sh.form.text("history") + " > " + sh.form.text("copycode") + ")";
        sh.codeHintShown = true;
    }
    sh.platform->status(line);
}

// Pauses Timer1 for a run; returns whether it was on.
bool pauseTimer1(Shapes& sh) {
    const bool on = sh.form.enabled("Timer1");
    sh.form.setEnabled("Timer1", false);
    return on;
}

} // namespace

uint64_t freshSeed(Random& rng) {
    return static_cast<uint64_t>(std::floor(rng.next() * 4294967296.0));
}

ShapeRun makeshape(Shapes& sh, const DrawRequest& req) {
    State& st = sh.st;
    ui::Form& form = sh.form;
    // Every drawing takes its own seed, so that the seed and the settings make it again.
    const uint64_t seed = req.seed ? *req.seed : freshSeed(sh.rng);
    Random rng(seed);
    // The first two numbers are the moving picture's drift, used or not.
    const double awb = driftStep(rng), bwb = driftStep(rng);
    sh.platform->maximise();
    readField(sh, kSecondsField);
    st.mpattern2 = st.mpattern;

    const DrawSettings first = readDrawSettings(sh);
    // A new size starts the moving picture afresh from the middle.
    if (st.ggbbc == kPatternKind ||
        (st.ggbbc == kShapeKind && first.size != st.swidth999 && st.mpattern == kShapeKind)) {
        st.awb = awb;
        st.bwb = bwb;
        st.abb = std::floor(sh.surface.width() / 2.0) - st.swidth / 2;
        st.dbb = std::floor(sh.surface.height() / 2.0) - st.swidth / 2;
        form.move("Picture1", toInt32(st.abb), toInt32(st.dbb));
    }
    st.ggbbc = kShapeKind;
    st.swidth999 = toInt16(first.size);
    sh.platform->pumpEvents();
    // "Quit" chosen while events ran ends the program, not after another drawing.
    if (sh.quitting) return {};
    const bool timerWasOn = pauseTimer1(sh);

    // Read again: a change made while events ran counts.
    const DrawSettings s = readDrawSettings(sh);
    st.complexy = s.fancy ? kFancyShapes : kRegularShapes;
    st.centerf = 0;
    const double keptSize = st.swidth;

    std::optional<Random> colours = colourStream(seed, req.newColours);
    const ShapeRun run =
        drawShape(s, rng, sh.surface, sh.picture1, nullptr, colours ? &*colours : nullptr);
    form.resize("Picture1", sh.picture1.width(), sh.picture1.height());
    // In screen-saver mode the window shows only Picture1.
    if (st.ssmode == kSaverMode) blankWindow(sh.surface, kBorder);
    finishRun(sh, kShownShape, timerWasOn, keptSize);
    noteDrawing(sh, DrawingKind::Shape, req, seed, s);
    return run;
}

PatternRun makeshape2(Shapes& sh, const DrawRequest& req) {
    State& st = sh.st;
    ui::Form& form = sh.form;
    const uint64_t seed = req.seed ? *req.seed : freshSeed(sh.rng);
    Random rng(seed);
    sh.platform->maximise();
    DrawSettings s = readDrawSettings(sh);
    readField(sh, kSecondsField);
    st.mpattern2 = st.mpattern;
    st.ggbbc = kPatternKind;

    if (st.ffb == 1) sh.platform->pumpEvents();
    if (sh.quitting) return {};
    const bool timerWasOn = pauseTimer1(sh);
    form.setVisible("Picture1", false);

    // The style and the colours as they are after the yield.
    s.fancy = form.checked("Option2");
    s.colour = colourSettings(st);
    st.complexy = s.fancy ? kFancyShapes : kRegularShapes;
    st.centerf = 1;
    const double keptSize = st.swidth;

    std::optional<Random> colours = colourStream(seed, req.newColours);
    const PatternRun run = drawPattern(s, rng, sh.surface, sh.picture1, req.limits, nullptr,
                                       colours ? &*colours : nullptr);
    form.resize("Picture1", sh.picture1.width(), sh.picture1.height());
    st.abb = run.tiling.abb;
    st.dbb = run.tiling.dbb;
    finishRun(sh, kShownPattern, timerWasOn, keptSize);
    noteDrawing(sh, DrawingKind::Pattern, req, seed, s,
                run.accepted ? "" : "No curve fitted the tile; the pattern is plain.");
    return run;
}

bool reshowDrawing(Shapes& sh) {
    if (!sh.lastDrawing || sh.pageOpen()) return false;
    Drawing& d = *sh.lastDrawing;
    Surface& sf = sh.surface;
    if (d.width == sf.width() && d.height == sf.height()) return false;
    d.width = sf.width();
    d.height = sf.height();
    if (d.kind == DrawingKind::Pattern) {
        // A pattern is a pure function of its seed, settings and size: made again, it is the
        // same tile repeated over the new size.
        Random rng(d.seed);
        std::optional<Random> colours = colourStream(d.seed, d.newColours);
        drawPattern(d.settings, rng, sf, sh.picture1, {}, nullptr, colours ? &*colours : nullptr);
        return true;
    }
    // A shape is kept in Picture1: the window around it is the border colour, as the run
    // leaves it.
    blankWindow(sf, kBorder);
    if (sh.st.ssmode == kSaverMode) {
        keepPicture1Inside(sh);
    } else {
        const int side = sh.picture1.width() - 2;
        const int x = toInt32(vfloor(sf.width() / 2.0)) - side / 2 + 1;
        const int y = toInt32(vfloor(sf.height() / 2.0)) - side / 2 + 1;
        sf.paint(sh.picture1, x, y, 1, 1, side, side);
    }
    return true;
}

} // namespace vx
