#pragma once
#include "core/shapes.hpp"

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

// Fills the whole window with a repeating pattern of one symmetric tile.
void makeshape2(Shapes& sh);
void makeshape2(Shapes& sh, const PatternLimits& limits);

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

// Draws the frame and one walk; a rejected walk leaves the tile square (and its one-pixel
// surround) white again.
WalkResult walkAttempt(Shapes& sh, const WalkParams& p);

// Copies the s x s tile at the window's centre into Picture1 and paints it over the whole
// window from (1, 1) in steps of s - 1; sets abb, dbb and the last tiling position in a, b.
void tilePattern(Shapes& sh, int s);

} // namespace vx

namespace vx {

// Colours the tile of an accepted walk (called by makeshape2).
void colourTile(Shapes& sh, int cx, int cy, double s, int nsides);

} // namespace vx
