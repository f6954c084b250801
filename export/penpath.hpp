#pragma once
// The outline of a drawing as its pens drew it: a recorder follows the drawing being made
// again and keeps the kept attempt's pens and the straight lines in the outline colour, which
// become smooth lines one drawing pixel wide.
#include "engine/recorder.hpp"
#include "export/lines.hpp"
#include "surface/surface.hpp"

#include <vector>

namespace vx {

class PenRecorder : public Recorder {
  public:
    void began(const RecordStart& s) override { start_ = s; }
    void attemptBegan() override;
    void marked(const PenMark& m) override;
    void stroked(const Stroke& k) override;
    void attemptEnded(bool kept) override;

    const RecordStart& start() const { return start_; }
    // The pens of the kept attempt, in order.
    const std::vector<PenMark>& marks() const { return marks_; }
    // The lines and boxes in the outline colour that stay: the kept attempt's and those
    // drawn after it.
    const std::vector<Stroke>& strokes() const { return strokes_; }

  private:
    RecordStart start_;
    bool trying_ = false;
    std::vector<PenMark> marks_, tryMarks_;
    std::vector<Stroke> strokes_, tryStrokes_;
};

// The outline's lines on the canvas the drawing was made on (pixel (x, y) is the square from
// (x, y) to (x + 1, y + 1)): each pen's path and its mirror images, joined where they meet
// and smoothed, and the straight lines.
std::vector<VecLine> penLines(const PenRecorder& r);

// The outline's pixels on a white surface of the canvas's size, as the pens and lines marked
// them in the outline colour.
Surface penPixels(const PenRecorder& r);

} // namespace vx
