#include "engine/tracer.hpp"

#include "engine/pens.hpp"

#include <cmath>

namespace vx {

namespace {

constexpr double kRootHalf = 0.70710678118654752440; // 1 / sqrt(2)

// The pens of one attempt: P1 and Q1 as offsets from the centre, every other pen one of
// their images.
template <class Rec> class Pens {
  public:
    Pens(Surface& sf, const TraceParams& p, Rec& rec)
        : sf_(sf), rec_(rec), cx_(p.cx), cy_(p.cy), half_(p.s / 2),
          mainImages_(p.nsides == 2 ? 4 : 8), diagonal_(p.nsides == 8), dy_(-half_),
          u_(-half_ * kRootHalf), v_(u_) {}

    // P1 to P8 (P1 to P4 with two sides), then Q1 to Q8 with eight sides.
    void mark() {
        markPen(sf_, cx_, cy_, dx_, dy_, mainImages_);
        rec_.marked({dx_, dy_, mainImages_, false});
        if (diagonal_) markDiagonal();
    }
    // P1 or Q1, as just marked, outside the shape square. The diagonal pens always move,
    // drawn or not.
    bool outside() const {
        const double h = half_;
        return dx_ > h || dx_ < -h || dy_ > h || dy_ < -h || u_ > h || u_ < -h || v_ > h || v_ < -h;
    }
    // P1 has reached the middle line, where it meets P4.
    bool closed() const { return std::floor(dy_) >= std::floor(-dy_); }
    // One step along the heading: the main pens at once, the diagonal pens in two half-steps,
    // marked between them.
    void move(const Vec2& h) {
        dx_ += h.x;
        dy_ += h.y;
        const double p = h.x * kRootHalf, q = h.y * kRootHalf;
        u_ += p;
        v_ -= p;
        if (diagonal_) markDiagonal();
        u_ += q;
        v_ += q;
    }
    // P1 has come onto a trace already drawn.
    bool onOutline() const { return sf_.pixel(pixelAt(cx_, dx_), pixelAt(cy_, dy_)) == kBorder; }

  private:
    void markDiagonal() {
        markPen(sf_, cx_, cy_, u_, v_, 8);
        rec_.marked({u_, v_, 8, true});
    }

    Surface& sf_;
    Rec& rec_;
    const int cx_, cy_;
    const double half_;
    const int mainImages_;
    const bool diagonal_;
    double dx_ = 0, dy_, u_, v_;
};

// The tracer holds its fresh turns in single precision, normalised with circle.
ChainRules chainRules(const TraceParams& p) {
    ChainRules r;
    r.order = p.w;
    r.circle = p.circle;
    r.deep = p.deep;
    r.fancy = p.fancy;
    r.period = p.turnPeriod;
    r.singleDraws = true;
    r.normaliseFresh = p.circle;
    return r;
}

// The size cross, left of the square; the background fill paints it over later.
template <class Rec> void drawSizeCross(Surface& sf, const TraceParams& p, Rec& rec) {
    const int32_t grey = qbColor(7);
    const double cx = p.cx, cy = p.cy, half = p.s / 2, x = cx - 1.5 * p.s;
    stroke(sf, rec, {StrokeKind::Segment, cx - 2 * p.s, cy, cx - p.s, cy, grey});
    stroke(sf, rec, {StrokeKind::Segment, x, cy - half, x, cy + half, grey});
}

template <class Rec>
TraceOutcome restart(Surface& sf, const TraceParams& p, Rec& rec, TraceOutcome out) {
    // The window was white before the attempt, so blanking what the attempt drew on (the size
    // cross and the square) looks the same as blanking the whole window, at a fraction of the
    // cost on a large window.
    const double half = p.s / 2;
    stroke(sf, rec,
           {StrokeKind::FilledBox, p.cx - 2 * p.s - 1, p.cy - half - 1, p.cx + half + 1,
            p.cy + half + 1, kWhite});
    rec.attemptEnded(false);
    out.result = TraceResult::Restart;
    return out;
}

template <class Rec> TraceOutcome trace(Surface& sf, Random& rng, const TraceParams& p, Rec& rec) {
    TraceOutcome out;
    rec.attemptBegan();
    Pens<Rec> pens(sf, p, rec);
    TurnChain chain(rng, chainRules(p));
    drawSizeCross(sf, p, rec);

    // A pen that keeps circling inside the square would never close: bound the steps.
    const long maxSteps = 64L * static_cast<long>(p.s) + 4096;
    for (long n = 0;; ++n) {
        if (n > maxSteps) return restart(sf, p, rec, out);
        pens.mark();
        chain.tick(rng);
        if (pens.outside()) return restart(sf, p, rec, out);
        if (pens.closed()) break;
        pens.move(chain.heading());
        if (pens.onOutline()) out.hits += 1;
        chain.advance();
    }
    if (!p.ignoreHits && out.hits > p.hitLimit) return restart(sf, p, rec, out);
    rec.attemptEnded(true);
    out.result = TraceResult::Closed;
    return out;
}

} // namespace

TraceOutcome traceAttempt(Surface& sf, Random& rng, const TraceParams& p, Recorder* rec) {
    if (rec) return trace(sf, rng, p, *rec);
    NoRecorder none;
    return trace(sf, rng, p, none);
}

} // namespace vx
