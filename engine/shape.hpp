#pragma once
// One random symmetric shape in the middle of a surface: the run's parameters from the
// settings, traced attempts until one closes, the colouring, and the picture of the square.
#include "engine/colouring.hpp"
#include "engine/recorder.hpp"
#include "model/drawing.hpp"
#include "surface/numeric.hpp"
#include "surface/surface.hpp"

namespace vx {

// Attempts before the hit limit is dropped, and before a run gives up altogether.
constexpr long kRelaxAfterAttempts = 20000;
constexpr long kMaxAttempts = 40000;

// What a shape run made, besides its pixels.
struct ShapeRun {
    long attempts = 0;
    bool closed = false;    // false: no attempt closed within the bound; the square is blank
    int runSize = 0;        // the size rounded down to tens
    double smoothLevel = 0; // the smoothness lowered by one: order of the turning chain
    bool deepChain = false;
    bool circle = false; // turns are normalised
    int turnPeriod = 0;  // steps between two fresh turns
    double hitLimit = 0; // outline hits an attempt may have
    double hits = 0;     // hits of the closed outline
    ColourRun colour;
};

// Draws the shape on the canvas (white first, everything outside the outline colour 1) and
// copies its square, one pixel inside the shape square, into picture at (1, 1); the picture
// becomes the run size plus 2 square. A recorder, when given, follows the whole run
// (engine/recorder.hpp). The regions take their colours from colours when it is given (a new
// colouring of the same outline), else from rng after the outline.
ShapeRun drawShape(const DrawSettings& s, Random& rng, Surface& canvas, Surface& picture,
                   Recorder* rec = nullptr, Random* colours = nullptr);

} // namespace vx
