#include "modes/keys.hpp"

#include "output/output.hpp"

namespace vx {

bool printSaveKey(Shapes& sh, int key) {
    if (key == kKeyP) {
        if (sh.st.bbmv == 2) printScreen(sh);
        return true;
    }
    if (key == kKeyS) {
        saveDrawing(sh);
        return true;
    }
    return false;
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
