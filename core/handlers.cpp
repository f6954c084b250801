#include "core/events.hpp"
#include "pattern/makeshape2.hpp"
#include "shape/makeshape.hpp"

namespace vx {

// "Create random shape(s)": lets events run, then draws what the pattern switch asks for.
void command1Click(Shapes& sh) {
    sh.platform->pumpEvents();
    sh.st.circle2 = 0;
    if (sh.st.mpattern == 0) makeshape(sh);
    if (sh.st.mpattern == 1) makeshape2(sh);
}

void registerCoreHandlers(Events& e) {
    e.onClick("Command1", command1Click);
}

} // namespace vx
