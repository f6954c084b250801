#include "app/colourmenu.hpp"

namespace vx {

namespace {

void checkMode(Shapes& sh, const char* item) {
    for (const char* name : {"bcolor7", "tcolor7", "ucolors"})
        sh.form.setChecked(name, std::string(name) == item);
}

} // namespace

void bcolor7Click(Shapes& sh) {
    if (sh.st.tcolor == 0) return;
    sh.st.tcolor2 = 0;
    sh.st.tcolor = 0;
    checkMode(sh, "bcolor7");
}

void tcolor7Click(Shapes& sh) {
    if (!(sh.st.tcolor != 1 || sh.st.tcolor2 != 0)) return;
    sh.st.tcolor = 1;
    sh.st.tcolor2 = 0;
    checkMode(sh, "tcolor7");
}

void ucolorsClick(Shapes& sh) {
    if (sh.st.tcolor2 == 1) return;
    sh.st.tcolor = 1;
    sh.st.tcolor2 = 1;
    checkMode(sh, "ucolors");
}

bool selectImportedScale(Shapes& sh) {
    if (sh.st.cgf < 1) {
        sh.platform->status("No imported colour scale: import one from a bitmap first.");
        return false;
    }
    sh.st.tcolor = 2;
    checkMode(sh, "");
    return true;
}

} // namespace vx
