#pragma once
// A drawing being made, as motion. The drawing is made once with a recorder that keeps its
// steps (a few bytes each); the frames replay them a batch at a time as each frame comes due,
// so no frame is kept beyond the one shown.
#include "app/motion.hpp"
#include "engine/recorder.hpp"

#include <variant>
#include <vector>

namespace vx {

// The growth of one drawing from the white surface: the pens of the kept attempt tracing the
// outline (for a pattern the tile's, then the tile copied over the surface), the regions
// filling in the colouring's order, then the finished drawing held to the end. Attempts that
// were thrown away are not shown: they can number in the hundreds, each wiped at once, and
// would spend the length on false starts. The frames have the still's size (the surface for
// a pattern, the picture for a shape) and the last one is the still.
class GrowthFrames : public FrameSource {
  public:
    // frames: how many will be asked for; the making takes most of them, the finished drawing
    // the rest.
    GrowthFrames(const Drawing& d, long frames);
    const Surface& next(bool& same) override;
    int width() const { return size_.width; }
    int height() const { return size_.height; }

  private:
    struct Fill {
        int x, y;
        int32_t colour;
    };
    using Step = std::variant<PenMark, Stroke, Fill>;
    class Log;

    void plan(long frames);
    bool advance(long k);
    void apply(const Step& s);
    void showCopies(long from, long to);
    void compose();

    RecordStart start_;
    SurfaceSize size_;
    std::vector<Step> steps_;
    size_t firstFill_ = 0;             // the steps before it draw the outline
    size_t done_ = 0;                  // steps replayed
    long copies_ = 0, copiesDone_ = 0; // tile copies over the surface (patterns)
    long across_ = 0;
    long making_ = 1, given_ = 0;               // frames of the making; frames given so far
    long outlineFrames_ = 0, copiesFrames_ = 0; // the stages after the white first frame
    Surface work_;                              // the replay, as the generator's surface was
    Surface frame_;                             // what is shown when it is not work_ itself
    Surface tile_;                              // the tiling's own
    const Surface* shown_ = &frame_;
};

} // namespace vx
