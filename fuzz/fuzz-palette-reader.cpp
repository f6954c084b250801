// Feeds arbitrary bytes to the palette reader and checks that what it makes is a list the
// program can use, and that writing it reads back the same.
#include "engine/palette.hpp"
#include "engine/settingsfile.hpp"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vx;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PaletteList p = parsePalette(std::string_view(reinterpret_cast<const char*>(data), size));
    int filled = 0;
    while (filled < 64 && p.slots[static_cast<size_t>(filled)] != 0) ++filled;
    for (int k = 0; k < 64; ++k) {
        const int32_t v = p.slots[static_cast<size_t>(k)];
        check(validListValue(v));
        check((k < filled) == (v != 0)); // one run from slot 1
    }
    check(p.numcolors == (filled < 64 ? filled + 1 : 64));

    // The palette replaces slots 1..64 and the count, all a run needs: one state serves all runs.
    static State st;
    applyPalette(st, p);
    const PaletteList again = parsePalette(paletteText(st));
    check(again.damaged == 0);
    check(again.slots == p.slots && again.numcolors == p.numcolors);
    return 0;
}
