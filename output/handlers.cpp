#include "core/events.hpp"
#include "core/settings.hpp"
#include "output/output.hpp"

namespace vx {

namespace {

// The on/off pairs of "Auto-save" and "Auto-print": remembered, driving nothing.
void setSwitch(Shapes& sh, double& member, const char* on, const char* off, bool value) {
    member = value ? 1 : 0;
    sh.form.setChecked(on, value);
    sh.form.setChecked(off, !value);
}

} // namespace

void registerOutputHandlers(Events& e) {
    e.onClick("sscreen", [](Shapes& sh) { saveDrawing(sh); });
    e.onClick("pscreen", [](Shapes& sh) { printScreen(sh); });
    e.onClick("saveon", [](Shapes& sh) { setSwitch(sh, sh.st.asavex, "saveon", "saveoff", true); });
    e.onClick("saveoff",
              [](Shapes& sh) { setSwitch(sh, sh.st.asavex, "saveon", "saveoff", false); });
    e.onClick("printon",
              [](Shapes& sh) { setSwitch(sh, sh.st.aprintx, "printon", "printoff", true); });
    e.onClick("printoff",
              [](Shapes& sh) { setSwitch(sh, sh.st.aprintx, "printon", "printoff", false); });
    e.onClick("savesettings", [](Shapes& sh) { saveSettings(sh); });
    e.onClick("restored", restoreDefaults);
}

} // namespace vx
