#include "app/output.hpp"

#include "app/panel.hpp"
#include "export/bmp.hpp"
#include "platform/files.hpp"

namespace vx {

bool saveDrawing(Shapes& sh) {
    State& st = sh.st;
    const std::string nothing = "Nothing has been drawn yet, so nothing was saved.";
    // A drawing whose file has gone since (deleted, moved away) is saved again.
    if (st.nosave != 0 && (sh.savedFile.empty() || nameTaken(sh.savedFile))) {
        sh.platform->status(
            sh.savedAs.empty() ? nothing : "This drawing is already saved as " + sh.savedAs + ".");
        return false;
    }
    sh.form.setEnabled("sscreen", false);
    const bool pattern = st.bbmv == kShownPattern;
    if (!pattern && st.bbmv != kShownShape) {
        // Nothing drawn yet: nothing to write, and the item stays off until a drawing.
        st.nosave = 1;
        sh.savedAs.clear();
        sh.savedFile.clear();
        sh.platform->status(nothing);
        return false;
    }
    const std::string prefix = pattern ? "pattern" : "shape";
    const Surface& picture = pattern ? sh.surface : sh.picture1;
    const Result<std::string> saved = picture.width() > 0 && picture.height() > 0
                                          ? writeNewNumbered(prefix, ".bmp", encodeBmp24(picture))
                                          : Result<std::string>(fail("the picture is empty"));
    if (!saved) {
        // Not saved: the drawing may still be saved once the cause is mended.
        sh.form.setEnabled("sscreen", true);
        const int n = firstFreeNumber(prefix, ".bmp");
        sh.platform->status("The " + prefix + " was not saved" +
                            (n == 0 ? "" : " as " + prefix + std::to_string(n) + ".bmp") + " in " +
                            workingFolderName() + ": " + saved.error().message + ".");
        return false;
    }
    st.nosave = 1;
    sh.savedFile = *saved;
    sh.savedAs = *saved + " in " + workingFolderName();
    sh.platform->status("Saved as " + sh.savedAs + ".");
    return true;
}

bool mayReplace(Shapes& sh, const std::string& file) {
    if (!readOnlyFile(file) ||
        sh.platform->confirm(file + " is read-only. Replace it all the same?"))
        return true;
    sh.platform->status(file + " is read-only and was kept as it was; nothing was written.");
    return false;
}

bool printScreen(Shapes& sh) {
    if (sh.printing) {
        sh.platform->status("Already printing: the page before is still on its way.");
        return false;
    }
    struct Printing {
        bool& on;
        explicit Printing(bool& b) : on(b) { on = true; }
        ~Printing() { on = false; }
    } printing(sh.printing);
    // Pressing again because the last print seems lost must not give two copies unasked.
    const std::string doubt = sh.platform->printInDoubt();
    if (!doubt.empty() &&
        !sh.platform->confirm("The print service has not said yet whether " + doubt +
                              " printed; it may still print. Print another copy?")) {
        sh.platform->status("Not printed again: " + doubt + " may still print.");
        return false;
    }
    State& st = sh.st;
    st.hhfd = sh.form.visible("Label2") ? 1 : 0;
    if (st.hhfd == 1) hideOptionsPanel(sh);
    sh.platform->status("Printing...");
    sh.platform->pumpEvents();
    const Result<std::string> printed = sh.platform->printWindow();
    // Events ran while the page was on its way: a mode that hides the panel keeps it hidden.
    if (st.hhfd == 1 && st.ssmode == kRegularMode && st.colormode4 == kEditorClosed)
        showOptionsPanel(sh);
    sh.platform->status(printed ? *printed : "Not printed: " + printed.error().message + ".");
    return printed.ok();
}

} // namespace vx
