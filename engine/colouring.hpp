#pragma once
// Region colouring shared by the single shape and the pattern tile: the outer fill, the scan of
// one quarter of the square with its eight (or sixteen) mirrored fill points, the census and
// the recolouring by area.
#include "engine/choosing.hpp"
#include "engine/recorder.hpp"
#include "model/drawing.hpp"
#include "surface/surface.hpp"

namespace vx {

// What the diagonal fill points of an eight-sided drawing get when the scan point lies in a
// coloured region: that region's colour (single shapes) or a fresh draw (pattern tiles).
enum class DiagonalColour { ScanColour, Fresh };

// What a colouring leaves besides the pixels.
struct ColourRun {
    int32_t lastpick = 0; // the latest first-pass draw, for the next drawing
    Census census;        // empty unless the list colours are on; used entries count 0
};

// The square whose outline is coloured.
struct RegionSquare {
    int cx = 0, cy = 0; // centre pixel
    double s = 0;       // side
    int nsides = 4;     // 8: the regions under the 45-degree images are coloured too
    DiagonalColour rule = DiagonalColour::ScanColour;
};

// Colours the closed outline drawn in colour 1 around the square; everything outside it
// becomes colour 1. A recorder, when given, is told each fill (engine/recorder.hpp).
ColourRun colourRegions(Surface& sf, const ColourSettings& cs, Random& rng, const RegionSquare& sq,
                        Recorder* rec = nullptr);

inline ColourRun colourShape(Surface& sf, const ColourSettings& cs, Random& rng, int cx, int cy,
                             double s, int nsides, Recorder* rec = nullptr) {
    return colourRegions(sf, cs, rng, {cx, cy, s, nsides, DiagonalColour::ScanColour}, rec);
}
inline ColourRun colourTile(Surface& sf, const ColourSettings& cs, Random& rng, int cx, int cy,
                            double s, int nsides, Recorder* rec = nullptr) {
    return colourRegions(sf, cs, rng, {cx, cy, s, nsides, DiagonalColour::Fresh}, rec);
}

} // namespace vx
