#include "core/events.hpp"
#include "core/panel.hpp"
#include "core/startup.hpp"
#include "core/switches.hpp"

namespace vx {

void registerCoreHandlers(Events& e) {
    e.onClick("Command4", command4Click);
    e.onClick("Timer6", timer6Tick);
    e.onClick("Command1", command1Click);
    e.onClick("Option1", option1Click);
    e.onClick("Option2", option2Click);
    e.onClick("csingle", csingleClick);
    e.onClick("cpattern", cpatternClick);
    for (auto n : {"Text2", "Text3", "Text9", "Text5"})
        e.onKeyUp(n, [name = std::string(n)](Shapes& sh, int) {
            capField(sh, name);
            return false;
        });
    e.onKeyDown("Text4", [](Shapes& sh, int key) {
        text4KeyDown(sh, key);
        return false;
    });
}

} // namespace vx
