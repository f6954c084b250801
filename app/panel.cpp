#include "app/panel.hpp"

#include "app/events.hpp"
#include "app/generators.hpp"
#include "app/switches.hpp"

namespace vx {

namespace {

// The panel's members in the order they are shown or hidden; false: never shown.
struct PanelMember {
    const char* name;
    bool shown;
};
constexpr PanelMember kPanel[] = {
    {"Command1", true}, {"Label1", false}, {"Text1", false}, {"Label2", true},  {"Text2", true},
    {"Label9", true},   {"Text9", true},   {"Label8", true}, {"Text10", true},  {"Label3", true},
    {"Text3", true},    {"Label4", false}, {"Text4", false}, {"Option1", true}, {"Option2", true},
    {"Label5", true},   {"Text5", true},
};

} // namespace

void showOptionsPanel(Shapes& sh) {
    for (const auto& m : kPanel) sh.form.setVisible(m.name, m.shown);
}

void hideOptionsPanel(Shapes& sh) {
    for (const auto& m : kPanel) sh.form.setVisible(m.name, false);
}

void text4KeyDown(Shapes& sh, int key) {
    double& ssg = sh.st.ssg;
    if ((key == kKeyLeft || key == kKeyDown) && ssg > 4) ssg = ssg / 2;
    if ((key == kKeyUp || key == kKeyRight) && ssg < 8) ssg = ssg * 2;
    sh.setField("Text4", ssg);
    ssg = sh.field("Text4");
}

void option1Click(Shapes& sh) {
    announceChoice(sh, "Shape style", "Option1", !sh.form.checked("Option1"));
    sh.st.complexy = kRegularShapes;
    sh.form.selectOption("Option1", {"Option1", "Option2"});
}

void option2Click(Shapes& sh) {
    announceChoice(sh, "Shape style", "Option2", !sh.form.checked("Option2"));
    sh.st.complexy = kFancyShapes;
    sh.form.selectOption("Option2", {"Option1", "Option2"});
}

void command1Click(Shapes& sh) {
    // A click let in by the pump below would start a drawing inside this one, over the same
    // working values.
    if (sh.command1Running) return;
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(sh.command1Running);
    sh.platform->pumpEvents();
    if (sh.st.mpattern == kShapeKind) makeshape(sh);
    if (sh.st.mpattern == kPatternKind) makeshape2(sh);
}

} // namespace vx
