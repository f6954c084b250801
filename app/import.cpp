#include "app/import.hpp"

#include "app/panel.hpp"
#include "engine/scale.hpp"
#include "platform/files.hpp"

#include <string>

namespace vx {

namespace {

constexpr const char* kPageControls[] = {"Label7", "Text8", "File1", "Command6", "Command7"};

bool pageOpen(const Shapes& sh) {
    return sh.form.visible("Command6");
}

void closePage(Shapes& sh) {
    sh.form.setVisible("Picture2", false);
    for (const char* n : kPageControls) sh.form.setVisible(n, false);
    if (sh.st.ssmode == kRegularMode) {
        sh.form.setChecked("regmode", true);
        showOptionsPanel(sh);
    }
}

} // namespace

void impcolorClick(Shapes& sh) {
    hideOptionsPanel(sh);
    sh.form.setItems("File1", listFiles("*.bmp"));
    for (const char* n : kPageControls) sh.form.setVisible(n, true);
}

void file1Click(Shapes& sh) {
    const std::string entry = sh.form.selectedItem("File1");
    if (!entry.empty()) sh.form.setText("Text8", entry);
}

void command6Click(Shapes& sh) {
    if (!pageOpen(sh)) return;
    State& st = sh.st;
    const std::string name = sh.form.text("Text8");
    sh.picture2.setBackColor(kWhite);
    if (!name.empty()) {
        const bool bare = name.find('/') == std::string::npos &&
                          name.find('\\') == std::string::npos && name != "." && name != "..";
        Result<Surface> picture = bare ? sh.platform->readPicture(name)
                                       : Result<Surface>(fail("it is not a name in the working "
                                                              "folder"));
        if (!picture) {
            // The old scale stays.
            closePage(sh);
            sh.platform->status("No colours were imported: " + name +
                                " could not be read as a "
                                "picture (" +
                                picture.error().message + ").");
            return;
        }
        sh.picture2.paint(*picture, 0, 0, 0, 0, picture->width(), picture->height());
    }
    sh.form.setVisible("Picture2", true);
    sh.platform->pumpEvents();

    // The box's inside; column 0 is not visited.
    const ui::Control& box = sh.form.get("Picture2");
    const ScaleScan scan = scanScale(sh.picture2, box.w, box.h, 1);
    st.cgf = static_cast<double>(scan.colours.size());
    for (size_t i = 0; i < scan.colours.size(); ++i) st.importcolors[i + 1] = scan.colours[i];
    closePage(sh);
    if (scan.full)
        sh.platform->status("The picture holds more colours than the scale: only the first " +
                            std::to_string(kMaxScaleColours) + " were imported.");
    else
        sh.platform->status(std::to_string(scan.colours.size()) + " colours imported.");
}

void command7Click(Shapes&) {}

} // namespace vx
