#pragma once
// Following a drawing as it is made. drawShape and drawPattern (and the attempt and colouring
// functions under them) take an optional Recorder and tell it every change they make to the
// surface, in order, as it happens:
//
//   began            the surface is white; the drawing's centre pixel and square
//   attemptBegan     an outline (shape) or a tile walk (pattern) starts
//     stroked        a line or box drawn straight: the size cross, the tile frame
//     marked         a pen and its mirror images marked in colour 1, step by step
//     stroked        a thrown-away attempt blanks its area white again ...
//   attemptEnded     ... and ends with kept = false; the last attempt ends with kept = true
//                    (none does when a run gives up: a blank shape, a plain frame)
//   stroked          the colouring's box round the window (and a plain frame for a pattern
//                    whose walks all failed)
//   filled           each flood fill of the colouring, in order: the outside in colour 1,
//                    the regions, the centre, the repaint of the largest areas from the list
//   tiled            pattern: the tile copied over the whole surface
//   ended
//
// So the marks between the last attemptBegan and attemptEnded(true), drawn with markPen
// (engine/pens.hpp) about the centre, give exactly the outline's pixels (the pens' exact
// positions, for a smooth path through the eight or sixteen images); and replaying every
// event on a white surface (Surface::segment, box, fillBox; markPen; setFillColor and
// floodFill with border colour 1; tilePattern) gives the finished drawing.
//
// Without a recorder the generators run a copy of their code in which every call is empty
// (NoRecorder) and inlined away: they pay nothing for it.
#include "model/drawing.hpp"
#include "surface/surface.hpp"

#include <cstdint>

namespace vx {

struct RecordStart {
    DrawingKind kind = DrawingKind::Shape;
    int width = 0, height = 0; // the surface, white now
    int cx = 0, cy = 0;        // the centre pixel, about which pens and fills are mirrored
    int side = 0;              // the shape square's or the tile's side (the run size)
};

// One pen and its images, marked at centre + (dx, dy) by markPen's pixel rule.
struct PenMark {
    double dx = 0, dy = 0;
    int images = 8;        // 4: mirrored in both axes (two-sided shapes); 8: and both diagonals
    bool diagonal = false; // a turned pen of an eight-sided shape (drawn before and halfway
                           // through each step); the main pen's mark begins a step
};

enum class StrokeKind { Segment, Box, FilledBox }; // Surface::segment, box, fillBox
struct Stroke {
    StrokeKind kind = StrokeKind::Segment;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // surface coordinates
    int32_t colour = 0;
};

inline void drawStroke(Surface& sf, const Stroke& k) {
    if (k.kind == StrokeKind::Segment)
        sf.segment(k.x1, k.y1, k.x2, k.y2, k.colour);
    else if (k.kind == StrokeKind::Box)
        sf.box(k.x1, k.y1, k.x2, k.y2, k.colour);
    else
        sf.fillBox(k.x1, k.y1, k.x2, k.y2, k.colour);
}

class Recorder {
  public:
    virtual ~Recorder() = default;
    virtual void began(const RecordStart&) {}
    virtual void attemptBegan() {}
    virtual void marked(const PenMark&) {}
    virtual void stroked(const Stroke&) {}
    virtual void attemptEnded(bool /*kept*/) {}
    // A flood fill seeded at pixel (x, y), bounded by colour 1.
    virtual void filled(int /*x*/, int /*y*/, int32_t /*colour*/) {}
    // The side x side square at the centre (from centre - side/2 + 1) painted from (1, 1) in
    // steps of side - 1 across and down the surface, whose top row and left column become
    // colour 1.
    virtual void tiled(int /*side*/) {}
    virtual void ended() {}
};

// What the generators follow when no recorder is attached.
struct NoRecorder {
    void attemptBegan() {}
    void marked(const PenMark&) {}
    void stroked(const Stroke&) {}
    void attemptEnded(bool) {}
    void filled(int, int, int32_t) {}
};

// Draws a stroke and tells the recorder.
template <class Rec> void stroke(Surface& sf, Rec& rec, const Stroke& k) {
    drawStroke(sf, k);
    rec.stroked(k);
}

} // namespace vx
