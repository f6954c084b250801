#include "core/events.hpp"
#include "modes/keys.hpp"

namespace vx {

void registerModeHandlers(Events& e) {
    for (const char* name : {Events::kWindow, "Command1", "Option1", "Option2"})
        e.onKeyDown(name, printSaveKey);
    for (const char* name : {"Text2", "Text3", "Text5", "Text9", "Text10"})
        e.onKeyDown(name, [field = std::string(name)](Shapes& sh, int key) {
            return printSaveFieldKey(sh, field, key);
        });
}

} // namespace vx
