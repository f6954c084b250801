#include "core/startup.hpp"

#include "shape/makeshape.hpp"

namespace vx {

void startup(Shapes& sh) {
    sh.rng.seed(static_cast<uint64_t>(sh.platform->clockSeconds() * 1000.0));
    sh.st.ssg = 4;
    sh.form.setVisible("Command4", false);
    for (auto n : {"Command1", "Label2", "Text2", "Label9", "Text9", "Label8", "Text10", "Label3",
                   "Text3", "Option1", "Option2", "Label5", "Text5"})
        sh.form.setVisible(n, true);
    makeshape(sh);
}

} // namespace vx
