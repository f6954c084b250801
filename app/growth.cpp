#include "app/growth.hpp"

#include "app/render.hpp"
#include "engine/pattern.hpp"
#include "engine/pens.hpp"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// The part of the making that shows the copies of a pattern's tile.
constexpr double kCopiesShare = 0.1;

// How many of count things are done at frame k when they come in frames from + 1 to
// from + frames, evenly: the last at the stage's last frame, all at once in a stage of none.
size_t due(size_t count, long from, long frames, long k) {
    if (k >= from + frames) return count;
    if (k <= from) return 0;
    return count * static_cast<size_t>(k - from) / static_cast<size_t>(frames);
}

} // namespace

// Keeps the steps of the drawing that shows: a thrown-away attempt ends with its area white
// again, as it was before, so it is left out altogether.
class GrowthFrames::Log : public Recorder {
  public:
    explicit Log(GrowthFrames& g) : g_(g) {}
    void began(const RecordStart& s) override { g_.start_ = s; }
    void attemptBegan() override { attemptFrom_ = g_.steps_.size(); }
    void marked(const PenMark& m) override { g_.steps_.push_back(m); }
    void stroked(const Stroke& k) override { g_.steps_.push_back(k); }
    void attemptEnded(bool kept) override {
        if (!kept)
            g_.steps_.erase(g_.steps_.begin() + static_cast<long>(attemptFrom_), g_.steps_.end());
    }
    void filled(int x, int y, int32_t colour) override {
        if (!filling_) g_.firstFill_ = g_.steps_.size();
        filling_ = true;
        g_.steps_.push_back(Fill{x, y, colour});
    }
    bool filling() const { return filling_; }

  private:
    GrowthFrames& g_;
    size_t attemptFrom_ = 0;
    bool filling_ = false;
};

GrowthFrames::GrowthFrames(const Drawing& d, long frames) {
    Log log(*this);
    renderDrawing(d, nullptr, &log); // the still is made again by the replay
    if (!log.filling()) firstFill_ = steps_.size();
    work_ = Surface(start_.width, start_.height);
    const int s = start_.side;
    if (start_.kind == DrawingKind::Shape) {
        size_ = {s + 2, s + 2};
        frame_ = Surface(s + 2, s + 2, kPictureBack);
    } else {
        size_ = {start_.width, start_.height};
        const int period = std::max(1, s - 1);
        across_ = (std::max(1, start_.width) - 1) / period + 1;
        copies_ = across_ * ((std::max(1, start_.height) - 1) / period + 1);
    }
    plan(frames);
}

void GrowthFrames::plan(long frames) {
    frames = std::max(1L, frames);
    // The first frame is white; the finished drawing is held for the last 15 per cent.
    making_ = std::max(1L, frames - frames * 3 / 20);
    const long stages = making_ - 1;
    // The outline and the fills share the making by their numbers of steps, neither taking
    // less than a quarter: a one-pass tile has only its frame and eight dots to show.
    const double outline = static_cast<double>(firstFill_);
    const double all = static_cast<double>(steps_.size());
    const double share = all > 0 ? std::clamp(outline / all, 0.25, 0.6) : 0.5;
    const bool pattern = start_.kind == DrawingKind::Pattern;
    copiesFrames_ = pattern ? std::lround(static_cast<double>(stages) * kCopiesShare) : 0;
    outlineFrames_ = std::lround(static_cast<double>(stages - copiesFrames_) * share);
}

const Surface& GrowthFrames::next(bool& same) {
    const bool changed = advance(std::min(given_, making_ - 1));
    if (changed || given_ == 0) compose();
    same = given_ > 0 && !changed;
    ++given_;
    return *shown_;
}

// Replays what is due at frame k of the making; whether anything changed. The stages follow
// each other: the outline, the copies, the fills.
bool GrowthFrames::advance(long k) {
    const long copiesFrom = outlineFrames_, fillsFrom = outlineFrames_ + copiesFrames_;
    const size_t outline = due(firstFill_, 0, outlineFrames_, k);
    const long copies =
        static_cast<long>(due(static_cast<size_t>(copies_), copiesFrom, copiesFrames_, k));
    const size_t fills = due(steps_.size() - firstFill_, fillsFrom, making_ - 1 - fillsFrom, k);
    const size_t target = fills > 0 ? firstFill_ + fills : outline;
    const bool changed = done_ < target || copies > copiesDone_;
    if (copies > copiesDone_) {
        // The copies show the outline alone: any fills of this frame come after them.
        for (; done_ < firstFill_; ++done_) apply(steps_[done_]);
        showCopies(copiesDone_, copies);
        copiesDone_ = copies;
    }
    for (; done_ < target; ++done_) apply(steps_[done_]);
    return changed;
}

void GrowthFrames::apply(const Step& s) {
    if (const PenMark* m = std::get_if<PenMark>(&s)) {
        markPen(work_, start_.cx, start_.cy, m->dx, m->dy, m->images);
    } else if (const Stroke* k = std::get_if<Stroke>(&s)) {
        drawStroke(work_, *k);
    } else {
        const Fill& f = std::get<Fill>(s);
        work_.setFillColor(f.colour);
        work_.floodFill(f.x, f.y, kBorder);
    }
}

// Copies from..to-1 of the tile, in the order the tiling paints them, over the surface.
void GrowthFrames::showCopies(long from, long to) {
    const int s = start_.side, period = s - 1;
    const int x0 = start_.cx - s / 2 + 1, y0 = start_.cy - s / 2 + 1;
    if (from == 0) {
        frame_ = work_;
        // The tiling leaves the top row and the left column in colour 1.
        frame_.fillBox(0, 0, frame_.width() - 1, 0, kBorder);
        frame_.fillBox(0, 0, 0, frame_.height() - 1, kBorder);
    }
    for (long i = from; i < to; ++i)
        frame_.paint(work_, static_cast<int>(1 + i % across_ * period),
                     static_cast<int>(1 + i / across_ * period), x0, y0, period, period);
}

// The frame from the replay: the shape's picture, the surface as drawn, the copies so far, or
// the tile as it is now repeated over the surface.
void GrowthFrames::compose() {
    const int s = start_.side;
    const int x0 = start_.cx - s / 2 + 1, y0 = start_.cy - s / 2 + 1;
    if (start_.kind == DrawingKind::Shape) {
        frame_.paint(work_, 1, 1, x0, y0, s, s);
        shown_ = &frame_;
    } else if (copiesDone_ == 0) {
        shown_ = &work_;
    } else if (copiesDone_ < copies_) {
        shown_ = &frame_;
    } else {
        // The tiling reads only the tile square.
        frame_.paint(work_, x0, y0, x0, y0, s, s);
        tilePattern(frame_, s, tile_);
        shown_ = &frame_;
    }
}

} // namespace vx
