#include "app/colourmenu.hpp"

#include "app/switches.hpp"

namespace vx {

namespace {

void checkMode(Shapes& sh, const char* item) {
    for (const char* name : {"bcolor7", "tcolor7", "ucolors"})
        sh.form.setChecked(name, std::string(name) == item);
}

void announceMode(Shapes& sh, const char* item, bool changed) {
    std::string when = kNextDrawing;
    // The list recolours nothing while it is empty.
    if (std::string(item) == "ucolors" && sh.st.colorlist[1] == 0)
        when += " The colour list is empty, so drawings look as in " + sh.form.text("tcolor7") +
                " until colours are added in " + sh.form.text("editcolors") + ".";
    announceChoice(sh, "Colour mode", item, changed, when);
}

} // namespace

void bcolor7Click(Shapes& sh) {
    announceMode(sh, "bcolor7", sh.st.tcolor != kBasicColours);
    if (sh.st.tcolor == kBasicColours) return;
    sh.st.tcolor2 = kListOff;
    sh.st.tcolor = kBasicColours;
    checkMode(sh, "bcolor7");
}

void tcolor7Click(Shapes& sh) {
    const bool change = sh.st.tcolor != kTrueColours || sh.st.tcolor2 != kListOff;
    announceMode(sh, "tcolor7", change);
    if (!change) return;
    sh.st.tcolor = kTrueColours;
    sh.st.tcolor2 = kListOff;
    checkMode(sh, "tcolor7");
}

void ucolorsClick(Shapes& sh) {
    announceMode(sh, "ucolors", sh.st.tcolor2 != kListOn);
    if (sh.st.tcolor2 == kListOn) return;
    sh.st.tcolor = kTrueColours;
    sh.st.tcolor2 = kListOn;
    checkMode(sh, "ucolors");
}

bool selectImportedScale(Shapes& sh) {
    if (sh.st.cgf < 1) {
        sh.platform->status("No imported colour scale: import one from a bitmap first.");
        return false;
    }
    sh.st.tcolor = kImportedColours;
    checkMode(sh, "");
    return true;
}

} // namespace vx
