#include "app/keys.hpp"

#include "app/output.hpp"

namespace vx {

bool printSaveKey(Shapes& sh, int key) {
    if (key != kKeyP && key != kKeyS) return false;
    // A page covers the drawing: no pattern to print or save.
    if (sh.pageOpen()) return true;
    if (key == kKeyP) {
        if (sh.st.bbmv == kShownPattern)
            printScreen(sh);
        else
            // The key prints patterns only; it says so rather than doing nothing unseen.
            sh.platform->status(sh.st.bbmv == kShownShape
                                    ? "\"P\" prints patterns only; a single shape is on screen "
                                      "(\"S\" saves it)."
                                    : "Nothing has been drawn yet, so nothing was printed.");
        return true;
    }
    saveDrawing(sh);
    return true;
}

bool printSaveFieldKey(Shapes& sh, const std::string& field, int key) {
    if (key != kKeyP && key != kKeyS) return false;
    // The letter must not stay in the field, whatever ran in between.
    const std::string kept = sh.form.text(field);
    printSaveKey(sh, key);
    sh.form.setText(field, kept);
    return true;
}

} // namespace vx
