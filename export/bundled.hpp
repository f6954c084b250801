#pragma once
// The palettes installed with the program: GIMP palettes in a folder beside it, each naming
// itself and its group in the "Palettes" menu.
#include "export/palettefile.hpp"

#include <string>
#include <vector>

namespace vx {

struct BundledPalette {
    std::string id;    // the file's name without ".gpl": the name on the command line
    std::string name;  // the name the palette gives itself
    std::string group; // from its "# Group:" line
    PaletteList list;
};

// The folder of the installed program's palettes (PREFIX/share/vortalis/palettes beside
// PREFIX/bin), else the one a build keeps beside its programs; empty when there is none.
std::string bundledFolder();

// The palettes of a folder sorted by group and name; a file that cannot be read is left out
// and said in *problems.
std::vector<BundledPalette> loadBundled(const std::string& folder,
                                        std::vector<std::string>* problems = nullptr);

// The palettes of bundledFolder(), read once.
const std::vector<BundledPalette>& bundledPalettes();

// A bundled palette by its id or its name (in any case), or nullptr.
const BundledPalette* findBundled(const std::string& name);

} // namespace vx
