#pragma once
// The window state: every setting, switch, counter and table of the program, under the
// names the rest of the program uses. Members never assigned are 0.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

struct State {
    // Shape settings (stored in the settings file).
    double detailf = 0, swidth = 0, complexy2 = 0, complexy = 0, tcolor = 0, nsides = 0;
    double sharpf = 0, centerf = 0, mpattern = 0, nwait4 = 0, ntimes = 0, complexy4 = 0;
    double tcolor2 = 0, numcolors = 0;

    // Colour data.
    std::vector<int32_t> colorlist = std::vector<int32_t>(10001, 0);
    double numsquare = 0;
    // Shade tables, slots 1..20 filled at start-up.
    std::array<int32_t, 51> blueshades{}, redshades{}, greenshades{}, purpleshades{},
        yellowshades{}, brownshades{}, greyshades{};
    std::vector<int32_t> importcolors = std::vector<int32_t>(100001, 0);
    double cgf = 0;
    std::string palettename;

    // Mode switches and flags.
    double ssmode = 0, mpattern2 = 0, bbmv = 0, ggbbc = 0, swidth999 = 0, nosave = 0, hhfd = 0;
    double hhmmf = 0, colormode4 = 0, ffb = 0, ssg = 0, aprintx = 0, asavex = 0;

    // Moving shape picture.
    double abb = 0, dbb = 0, awb = 0, bwb = 0, abb2 = 0, dbb2 = 0, awb2 = 0, bwb2 = 0;

    // Generator scratch.
    double a = 0, b = 0, az = 0, bz = 0, az2 = 0, bz2 = 0, az3 = 0, bz3 = 0, az4 = 0, bz4 = 0;
    double azz = 0, bzz = 0, azz2 = 0, bzz2 = 0, gllb = 0, gmbs = 0, gmbs2 = 0, circle2 = 0;
    double colorfz = 0, detailfz = 0, bbld = 0, hhb = 0, hhmn = 0;

    // Colour choosing.
    int32_t lastpick = 0;
    std::vector<int32_t> recentcolors = std::vector<int32_t>(10001, 0);
    int recentCount = 0; // n: colours given on the current scan row
    std::vector<int32_t> regioncolors = std::vector<int32_t>(10001, 0);
    std::vector<int32_t> regioncounts = std::vector<int32_t>(10001, 0);
    std::vector<double> regionx = std::vector<double>(1001, 0);
    std::vector<int32_t> regiony = std::vector<int32_t>(1001, 0);
    int censusSize = 0; // m

    // What the last generator run did, for tests and benchmarks.
    struct RunInfo {
        long attempts = 0;
        bool closed = false;
        int runSize = 0;
        int smoothLevel = 0; // smoothness lowered by one during the run
        bool deepChain = false;
        int turnPeriod = 0;
        double hitLimit = 0;
    } lastRun;

    // Start-up recast for an event loop: how far it has come, and the main-loop pass that
    // waits for the slow-animation tick (and for how many loop ticks it has waited).
    int startPhase = 0;
    bool loopWaiting = false;
    int loopWaitTicks = 0;
    // "Create random shape(s)" is drawing; a second click meanwhile is not obeyed.
    bool command1Running = false;
};

// The shade table of a random-shade code -1..-7, or nullptr for any other value.
inline const std::array<int32_t, 51>* shadeTable(const State& s, int32_t code) {
    switch (code) {
    case -1:
        return &s.blueshades;
    case -2:
        return &s.redshades;
    case -3:
        return &s.greenshades;
    case -4:
        return &s.purpleshades;
    case -5:
        return &s.yellowshades;
    case -6:
        return &s.brownshades;
    case -7:
        return &s.greyshades;
    default:
        return nullptr;
    }
}

} // namespace vx
