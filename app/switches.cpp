#include "app/switches.hpp"

#include "app/fields.hpp"
#include "app/generators.hpp"
#include "app/modes.hpp"

namespace vx {

void announceChoice(Shapes& sh, const std::string& what, const std::string& item, bool changed,
                    const std::string& when) {
    const std::string caption = what + ": " + sh.form.text(item);
    if (!changed)
        sh.platform->status(caption + " (already chosen).");
    else
        sh.platform->status(caption + "." + (when.empty() ? "" : " " + when));
}

void csingleClick(Shapes& sh) {
    State& st = sh.st;
    // In screen-saver mode the drawing that follows answers instead.
    announceChoice(sh, "Pattern mode", "csingle", st.mpattern != kShapeKind);
    if (st.mpattern == kShapeKind) return;
    st.mpattern = kShapeKind;
    st.mpattern2 = kShapeKind;
    sh.form.setChecked("csingle", true);
    sh.form.setChecked("cpattern", false);
    if (st.ssmode != kSaverMode) return;

    // Screen-saver mode: a shape now, gliding from the middle of the window.
    makeshape(sh);
    const int side = toInt32(st.swidth + 2);
    sh.form.resize("Picture1", side, side);
    const double seconds = readField(sh, kSecondsField);
    sh.form.setInterval("Timer1", toInt32(seconds * 1000));
    centrePicture1(sh);
    sh.form.setVisible("Picture1", true);
}

void cpatternClick(Shapes& sh) {
    State& st = sh.st;
    announceChoice(sh, "Pattern mode", "cpattern", st.mpattern != kPatternKind);
    if (st.mpattern == kPatternKind) return;
    st.mpattern = kPatternKind;
    st.mpattern2 = kPatternKind;
    sh.form.setChecked("csingle", false);
    sh.form.setChecked("cpattern", true);
    sh.form.setEnabled("sscreen", true);
    if (st.ssmode == kSaverMode) makeshape2(sh);
}

} // namespace vx
