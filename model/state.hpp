#pragma once
// The window state: the settings, switches and counters that outlive one handler, under the
// names the rest of the program uses. Members never assigned are 0.
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

struct State {
    // Stored in the settings file, in the order of its first line (the seconds waited have no
    // member: they live in the field Text5).
    double detailf = 0, swidth = 0, complexy2 = 0, complexy = 0, tcolor = 0, nsides = 0;
    double sharpf = 0, centerf = 0, mpattern = 0, nwait4 = 0, ntimes = 0, complexy4 = 0;
    double tcolor2 = 0, numcolors = 0;

    // The user's colour list: slots 1..10000 hold a colour, 0 (empty) or a shade code -1..-7.
    std::vector<int32_t> colorlist = std::vector<int32_t>(10001, 0);
    // The imported colour scale, slots 1..cgf.
    std::vector<int32_t> importcolors = std::vector<int32_t>(100001, 0);
    double cgf = 0;
    // The colour editor: the selected slot of the list, the shade code of the last chooser
    // used, the palette file last chosen on the load page.
    double numsquare = 0, anf = 0;
    std::string palettename;

    // Mode switches and flags.
    double ssmode = 0, mpattern2 = 0, bbmv = 0, ggbbc = 0, swidth999 = 0, nosave = 0, hhfd = 0;
    double hhmmf = 0, colormode4 = 0, ffb = 0, ssg = 0, aprintx = 0, asavex = 0;

    // The moving shape picture: its left and top, and its step per pass of the main loop; and
    // the same kept while the colour editor is open.
    double abb = 0, dbb = 0, awb = 0, bwb = 0;
    double abb2 = 0, dbb2 = 0, awb2 = 0, bwb2 = 0;
};

} // namespace vx
