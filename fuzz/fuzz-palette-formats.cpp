// Feeds arbitrary bytes to the readers of palette files under every name ending, and checks that
// what a reader accepts is a list the program can use, with the colours past 64 counted, and
// that writing it in each format reads back the same list.
#include "engine/settingsfile.hpp"
#include "export/palettefile.hpp"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vx;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

int filled(const PaletteList& p) {
    int n = 0;
    while (n < 64 && p.slots[static_cast<size_t>(n)] != 0) ++n;
    return n;
}

void checkList(const ReadPalette& r) {
    const int n = filled(r.list);
    for (int k = 0; k < 64; ++k) {
        const int32_t v = r.list.slots[static_cast<size_t>(k)];
        check(validListValue(v));
        check((k < n) == (v != 0));
        // A colour of another program is never the border, white or an empty slot.
        if (r.format != PaletteFormat::Own && k < n) check(v > 1 && v != 16777215);
    }
    check(r.list.numcolors == (n < 64 ? n + 1 : 64));
    if (r.format != PaletteFormat::Own) check(r.leftOut == r.colours - n && r.colours > 0);
}

void checkWritten(const ReadPalette& r) {
    const std::vector<int32_t> list(r.list.slots.begin(), r.list.slots.begin() + filled(r.list));
    for (auto [f, name] : {std::pair{PaletteFormat::Gpl, "w.gpl"},
                           {PaletteFormat::Ase, "w.ase"},
                           {PaletteFormat::Hex, "w.hex"},
                           {PaletteFormat::Own, "w.palette"}}) {
        if (list.empty() && f != PaletteFormat::Own) continue;
        const Result<ReadPalette> again = parsePaletteFile(encodePalette(list, f, "w").bytes, name);
        check(again.ok() && again->format == f && again->leftOut == 0);
        if (r.format != PaletteFormat::Own || f == PaletteFormat::Own)
            check(again->list.slots == r.list.slots);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"p.gpl", "p.ase", "p.hex", "p.txt", "p.pal", "p.palette", "p"}) {
        const Result<ReadPalette> r = parsePaletteFile(bytes, name);
        if (!r) {
            check(!r.error().message.empty());
            continue;
        }
        checkList(*r);
        checkWritten(*r);
    }
    return 0;
}
