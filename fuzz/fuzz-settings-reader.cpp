// Feeds arbitrary bytes to both settings readings and checks that what they leave is sane and
// that a save of it reads back the same.
#include "app/settings.hpp"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vx;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkState(const Shapes& sh) {
    const State& st = sh.st;
    check(st.numcolors >= 1 && st.numcolors <= 64 && st.numcolors == std::floor(st.numcolors));
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Shapes* sh = new Shapes();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    sh->st = State{};
    sh->st.numcolors = 1;
    sh->st.mpattern = 1;
    sh->st.tcolor = sh->st.tcolor2 = 1;
    sh->st.ntimes = 10;
    const SettingsValues v = parseSettings(text);
    applySettingsFirst(*sh, v);
    applySettingsSecond(*sh, v);
    checkState(*sh);

    // Whatever was loaded writes a file that reads back to the same values.
    const std::string saved = settingsText(sh->st, sh->field("Text5"));
    const SettingsValues again = parseSettings(saved);
    check(again.unreadable.none());
    for (const auto& h : again.head) check(h.has_value());
    for (int i = 0; i < 64; ++i)
        check(again.colours[i].has_value() &&
              (i + 1 > sh->st.numcolors || *again.colours[i] == sh->st.colorlist[i + 1]));
    // Fifteen significant digits, as the file has always had them.
    const double d = sh->st.detailf;
    check(std::fabs(*again.head[0] - d) <= 1e-14 * std::fabs(d) + 1e-300);
    return 0;
}
