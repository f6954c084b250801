#include "app/modes.hpp"

#include "app/editor.hpp"
#include "app/favourites.hpp"
#include "app/fields.hpp"
#include "app/generators.hpp"
#include "app/panel.hpp"
#include "app/switches.hpp"
#include "app/variationpage.hpp"
#include "engine/fill.hpp"

namespace vx {

namespace {

// Fields below their range make no sense to a drawing made by itself: they become the least
// value at once.
void repairFields(Shapes& sh) {
    for (const FieldSpec* f : {&kSizeField, &kDetailField, &kComplexityField, &kSmoothnessField})
        if (sh.field(f->name) < f->lo) sh.setField(f->name, f->lo);
}

void markMode(Shapes& sh, bool saver) {
    sh.form.setChecked("regmode", !saver);
    sh.form.setChecked("ssaver", saver);
    sh.st.ssmode = saver ? 1 : 0;
}

void announceSpeed(Shapes& sh, const char* item, bool changed) {
    const bool gliding = sh.st.ssmode == kSaverMode && sh.st.mpattern2 == kShapeKind;
    announceChoice(sh, "Animation speed", item, changed,
                   gliding ? "" : "A single shape glides at this speed in Screen-Saver mode.");
}

} // namespace

void startSaverPeriod(Shapes& sh) {
    const double seconds = readField(sh, kSecondsField);
    sh.form.setInterval("Timer1", toInt32(seconds * 1000));
    sh.form.setEnabled("Timer1", true);
}

void centrePicture1(Shapes& sh) {
    State& st = sh.st;
    st.awb = driftStep(sh.rng);
    st.bwb = driftStep(sh.rng);
    st.abb = vfloor(sh.surface.width() / 2.0) - st.swidth / 2;
    st.dbb = vfloor(sh.surface.height() / 2.0) - st.swidth / 2;
    sh.form.move("Picture1", toInt32(st.abb), toInt32(st.dbb));
}

void ssaverClick(Shapes& sh) {
    State& st = sh.st;
    repairFields(sh);
    if (st.ssmode == kSaverMode) return;
    if (st.bbmv == kShownShape) sh.form.setEnabled("sscreen", false);
    const int side = toInt32(st.swidth + 2);
    if (st.mpattern == kShapeKind) sh.form.resize("Picture1", side, side);
    startSaverPeriod(sh);
    markMode(sh, true);
    hideOptionsPanel(sh);
    if (st.mpattern == kShapeKind) centrePicture1(sh);

    const double size = sh.field(kSizeField.name);
    if (size == st.swidth999 && st.mpattern == kShapeKind && st.ggbbc == kShapeKind) {
        // The picture already holds a shape of this size: show it alone.
        blankWindow(sh.surface, kBorder);
        sh.form.setVisible("Picture1", true);
    }
    if (st.bbmv == kShownShape && st.mpattern == kPatternKind) makeshape2(sh);
    if ((st.bbmv == kShownPattern && st.mpattern == kShapeKind) ||
        (st.ggbbc == kShapeKind && size != st.swidth999 && st.mpattern == kShapeKind))
        makeshape(sh);
}

void regmodeClick(Shapes& sh) {
    State& st = sh.st;
    if (st.ssmode == kRegularMode) return;
    const bool shape = st.mpattern2 == kShapeKind;
    if (shape) blankWindow(sh.surface, kBorder);
    sh.form.setVisible("Picture1", false);
    sh.form.setEnabled("Timer1", false);
    markMode(sh, false);
    showOptionsPanel(sh);
    if (shape) {
        // The shape goes back to the middle of the window.
        const int side = toInt32(st.swidth + 1);
        const int x = toInt32(vfloor(sh.surface.width() / 2.0) - st.swidth / 2);
        const int y = toInt32(vfloor(sh.surface.height() / 2.0) - st.swidth / 2);
        sh.surface.paint(sh.picture1, x, y, 1, 1, side, side);
    }
}

void tslowClick(Shapes& sh) {
    announceSpeed(sh, "tslow", sh.st.nwait4 != kSlowAnimation);
    sh.form.setChecked("tslow", true);
    sh.form.setChecked("tfast", false);
    sh.st.nwait4 = kSlowAnimation;
}

void tfastClick(Shapes& sh) {
    announceSpeed(sh, "tfast", sh.st.nwait4 != kFastAnimation);
    sh.form.setChecked("tslow", false);
    sh.form.setChecked("tfast", true);
    sh.st.nwait4 = kFastAnimation;
}

void timer1Tick(Shapes& sh) {
    const State& st = sh.st;
    if (st.colormode4 != kEditorClosed) return;
    // The screen saver's favourites in turn, in place of random drawings.
    if (!sh.saverFavourites.empty()) {
        if (st.hhmmf == 0) showNextFavourite(sh);
        return;
    }
    // A tick during the slow animation's wait is lost.
    if (st.mpattern == kShapeKind && st.hhmmf == 0) makeshape(sh);
    if (st.mpattern == kPatternKind) makeshape2(sh);
}

void timer2Tick(Shapes& sh) {
    if (sh.st.colormode4 != kEditorClosed) return;
    sh.st.hhmmf = 0;
    // The wait it ends stops the timer at once; one tick a wait is all it is for.
    sh.form.setEnabled("Timer2", false);
}

bool windowResized(Shapes& sh) {
    if (sh.favouritesPage) {
        repaintFavourites(sh);
        return true;
    }
    if (sh.variationPage) {
        repaintVariationPage(sh);
        return true;
    }
    if (sh.st.colormode4 != kEditorClosed) {
        repaintEditorPage(sh);
        return true;
    }
    return reshowDrawing(sh);
}

void quitClick(Shapes& sh) {
    sh.quitting = true;
    sh.platform->quit();
}

} // namespace vx
