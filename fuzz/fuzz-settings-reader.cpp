// Feeds arbitrary bytes to both settings readings and checks that what they leave is sane,
// that they report exactly the values they could not use, and that a save of it reads back the
// same.
#include "app/settings.hpp"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace vx;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// One window serves every run: a new one, with its 110,000 list slots, costs far more than a
// reading. Each run puts back only what a reading may change: the scalars, list slots 1..64
// and the controls the form says were changed.
class Window {
  public:
    Window() {
        sh.st.numcolors = 1;
        sh.st.mpattern = 1;
        sh.st.tcolor = sh.st.tcolor2 = 1;
        sh.st.ntimes = 10;
        start_ = sh.st;
        start_.colorlist = {};
        start_.importcolors = {};
        startForm_ = sh.form;
        touched_.reserve(64);
        sh.form.listen([this](const ui::Control& c, ui::Change ch) {
            // Texts and check marks are all a reading may change, and all that is put back.
            check(ch == ui::Change::Text || ch == ui::Change::Checked ||
                  (ch == ui::Change::Selected && c.kind == ui::Kind::OptionButton));
            touched_.push_back(static_cast<size_t>(&c - sh.form.controls().data()));
        });
    }

    void reset() {
        State& st = sh.st;
        std::vector<int32_t> colours = std::move(st.colorlist);
        std::vector<int32_t> scale = std::move(st.importcolors);
        st = start_; // its lists are empty: nothing is allocated
        std::fill(colours.begin() + 1, colours.begin() + 65, 0);
        st.colorlist = std::move(colours);
        st.importcolors = std::move(scale);

        const size_t n = touched_.size();
        for (size_t k = 0; k < n; ++k) {
            const ui::Control& c = startForm_.controls()[touched_[k]];
            sh.form.setText(c.name, c.text);
            sh.form.setChecked(c.name, c.checked);
        }
        touched_.clear();
        // A warning is said once a platform: each run has a desktop of its own.
        platform_ = Platform();
        sh.platform = &platform_;
    }

    Shapes sh;

  private:
    Platform platform_;
    State start_;
    ui::Form startForm_;
    std::vector<size_t> touched_;
};

void checkState(const Shapes& sh) {
    const State& st = sh.st;
    check(st.numcolors >= 1 && st.numcolors <= 64 && st.numcolors == std::floor(st.numcolors));
    check(st.colorlist.size() == 10001 && st.colorlist[0] == 0 && st.colorlist[65] == 0);
    for (int i = 1; i <= 64; ++i) {
        const int32_t c = st.colorlist[i];
        check((c >= 0 && c <= 16777215) || (c >= -7 && c <= -1));
    }
    check(st.sharpf >= 1 && st.sharpf <= 9);
    check(st.complexy4 >= 1 && st.complexy4 <= 25);
    check(st.mpattern == 0 || st.mpattern == 1);
    check(st.tcolor == 0 || st.tcolor == 1 || st.tcolor == 2);
    check(st.tcolor2 == 0 || st.tcolor2 == 1);
    check(st.nwait4 == 0 || st.nwait4 == 1);
    check(st.ntimes >= 1);
}

// Values of the text that a reading cannot use, each counted once however it is wrong:
// unreadable tokens, missing values, kinds and colour modes outside their sets, list values
// that are neither colours nor shade codes.
int problemsIn(const SettingsValues& v) {
    std::bitset<79> bad = v.unreadable;
    for (size_t i = 0; i < 15; ++i)
        if (!v.head[i]) bad.set(i);
    for (size_t i = 0; i < 64; ++i)
        if (!v.colours[i] || !validListValue(*v.colours[i])) bad.set(15 + i);
    const auto outside = [&](int i, double hi) {
        const auto& x = v.head[static_cast<size_t>(i)];
        if (x && !(*x == std::floor(*x) && *x >= 0 && *x <= hi)) bad.set(static_cast<size_t>(i));
    };
    outside(kHeadMpattern, 1);
    outside(kHeadTcolor, 2);
    outside(kHeadTcolor2, 1);
    return static_cast<int>(bad.count());
}

// Fifteen significant digits, as the file has always had them.
bool sameWritten(double read, double kept) {
    return std::fabs(read - kept) <= 1e-14 * std::fabs(kept) + 1e-300;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Window* w = new Window();
    Shapes& sh = w->sh;
    w->reset();
    const SettingsValues v =
        parseSettings(std::string_view(reinterpret_cast<const char*>(data), size));
    applySettingsFirst(sh, v);
    applySettingsSecond(sh, v);
    checkState(sh);

    // The readings warn of how many values they could not use, or say nothing when there are
    // none.
    const int problems = problemsIn(v);
    const std::string& said = sh.platform->warning;
    if (problems == 0)
        check(said.empty());
    else
        check(said.find(": " + std::to_string(problems) +
                        (problems == 1 ? " value " : " values ")) != std::string::npos);

    // Whatever was loaded writes a file that reads back to the same values.
    const State& st = sh.st;
    const double seconds = sh.field("Text5");
    const std::string saved = settingsText(st, seconds);
    const SettingsValues again = parseSettings(saved);
    check(again.unreadable.none());
    const double head[15] = {st.detailf, st.swidth, st.complexy2, st.complexy, st.tcolor,
                             st.nsides,  seconds,   st.sharpf,    st.centerf,  st.mpattern,
                             st.nwait4,  st.ntimes, st.complexy4, st.tcolor2,  st.numcolors};
    for (size_t i = 0; i < 15; ++i)
        check(std::isfinite(head[i]) && again.head[i] && sameWritten(*again.head[i], head[i]));
    for (int i = 0; i < 64; ++i)
        check(again.colours[i].has_value() &&
              (i + 1 > st.numcolors || *again.colours[i] == st.colorlist[i + 1]));
    return 0;
}
