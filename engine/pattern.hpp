#pragma once
// A repeating pattern: one symmetric tile walked in the middle of the surface, coloured, and
// painted side by side over the whole surface.
#include "engine/colouring.hpp"
#include "engine/recorder.hpp"
#include "model/drawing.hpp"
#include "surface/numeric.hpp"
#include "surface/surface.hpp"

namespace vx {

// Bounds of one pattern run. A walk that wanders without reaching the frame ends after
// maxSteps (0: s x s + 4096 for run size s, past the longest random-walk exits measured) and
// counts as rejected; past relaxAfter rejected attempts the overlap limit is dropped (the worst
// settings need about 40 attempts on average, 200 at most in our trials), and past
// maxAttempts the run settles for a plain framed tile.
struct PatternLimits {
    long maxSteps = 0;
    long relaxAfter = 1000;
    long maxAttempts = 1100;
};

// One walk of the eight pens from the tile centre to the frame.
struct WalkParams {
    int cx = 0, cy = 0; // tile centre pixel
    int s = 0;          // run size (a multiple of ten)
    int sigma = 0;      // smoothness lowered by one: levels between the top level and the step
    bool fancy = false;
    bool onePass = false; // eight sides: the walk ends after its first pass
    double turnPeriod = 0;
    double hitLimit = 0;
    bool ignoreHits = false;
    long maxSteps = 0;
};

enum class WalkResult { Accepted, Rejected };

struct WalkOutcome {
    WalkResult result = WalkResult::Rejected;
    double hits = 0;     // overlaps of the walk (0 after the one pass of eight sides)
    double x = 0, y = 0; // the first pen's last position
};

// Draws the frame and one walk on a white surface; a rejected walk leaves the tile square
// (and its one-pixel surround) white again. A recorder, when given, follows the walk
// (engine/recorder.hpp).
WalkOutcome walkAttempt(Surface& sf, Random& rng, const WalkParams& p, Recorder* rec = nullptr);

// Where the copying of the tiling stopped.
struct TilingEnd {
    double a = 0, b = 0;     // the first copy position past the window
    double abb = 0, dbb = 0; // by how much the last copies fall short of a whole tile
};

// Copies the s x s tile at the surface's centre into tile (resized to s + 2 square) and paints
// it over the whole surface from (1, 1) in steps of s - 1; tile is left cleared.
TilingEnd tilePattern(Surface& sf, int s, Surface& tile);

// What a pattern run made, besides its pixels.
struct PatternRun {
    long attempts = 0;
    bool accepted = false; // false: no walk fitted; the tile is a plain frame
    int runSize = 0;
    double smoothLevel = 0;
    bool circle = false;
    double turnPeriod = 0;
    double hitLimit = 0;
    double hits = 0;
    TilingEnd tiling;
    ColourRun colour;
};

// Fills the whole surface with a repeating pattern; tile serves as the copy of the tile. A
// recorder, when given, follows the whole run (engine/recorder.hpp). The regions take their
// colours from colours when it is given (a new colouring of the same curve), else from rng
// after the walk.
PatternRun drawPattern(const DrawSettings& s, Random& rng, Surface& canvas, Surface& tile,
                       const PatternLimits& limits = {}, Recorder* rec = nullptr,
                       Random* colours = nullptr);

} // namespace vx
