#include "engine/colouring.hpp"

#include "engine/fill.hpp"

#include <cmath>

namespace vx {

namespace {

constexpr double kRootHalf = 0.70710678118654752440; // 1 / sqrt(2)

// Fills on the one pixel rule of the generators: every seed is the centre plus
// pixelOffset(offset), so the eight images of an offset select mirrored pixels.
template <class Rec> class Painter {
  public:
    Painter(Surface& sf, int cx, int cy, Rec& rec) : sf_(sf), rec_(rec), cx_(cx), cy_(cy) {}

    int32_t pixel(double ox, double oy) const {
        return sf_.pixel(cx_ + pixelOffset(ox), cy_ + pixelOffset(oy));
    }

    void setColour(int32_t c) { sf_.setFillColor(c); }

    void fill(double ox, double oy) {
        const int x = cx_ + pixelOffset(ox), y = cy_ + pixelOffset(oy);
        const int32_t p = sf_.pixel(x, y);
        // Every region is of one colour, so a seed on the outline, off the surface or already
        // in the fill colour would change nothing: skip the fill and its pixel tests.
        if (p == kBorder || p < 0 || p == sf_.fillColor()) return;
        fillAt(x, y, x, y);
    }
    // A fill with retry at pixel (x, y), tested at (tx, ty).
    void fillAt(int x, int y, int tx, int ty) {
        fillWithRetry(sf_, x, y, tx, ty);
        rec_.filled(x, y, sf_.fillColor());
    }

    // The main fill points: (a, b) and its images, in the order P1..P8.
    void fillMain(double a, double b) {
        fill(a, b), fill(-a, b), fill(a, -b), fill(-a, -b);
        fill(b, a), fill(b, -a), fill(-b, a), fill(-b, -a);
    }
    // The diagonal points Q1..Q8 from Q1's offset (u, v).
    void fillDiagonal(double u, double v) {
        fill(u, v), fill(v, u), fill(u, -v), fill(v, -u);
        fill(-u, -v), fill(-v, -u), fill(-u, v), fill(-v, u);
    }
    // A census point and its images, in the order of the recolouring.
    void fillCensus(double a, double b) {
        fill(a, b), fill(a, -b), fill(-a, b), fill(-a, -b);
        fill(-b, -a), fill(-b, a), fill(b, -a), fill(b, a);
    }

  private:
    Surface& sf_;
    Rec& rec_;
    int cx_, cy_;
};

// Everything outside the outline, the size cross included, becomes colour 1.
template <class Rec> void fillOutside(Surface& sf, Rec& rec, Painter<Rec>& paint) {
    stroke(sf, rec, {StrokeKind::Box, -10, -10, bigBoxX(sf), bigBoxY(sf), kBorder});
    paint.setColour(kBorder);
    paint.fillAt(1, 1, 2, 2);
}

// The scan point P1 = centre + (dx, dy) walks the quarter right of the centre column and above
// the centre row; Q1 = centre + (u, v) is its image turned by 45 degrees.
template <class Rec> class QuarterScan {
  public:
    QuarterScan(Painter<Rec>& paint, ColourChooser& chooser, const RegionSquare& sq, Census* census)
        : paint_(paint), chooser_(chooser), sq_(sq), census_(census) {}

    void run() {
        const double half = sq_.s / 2;
        const double g = half * kRootHalf;
        double dy = -half;
        double rowU = -g, rowV = -g;
        for (;;) {
            chooser_.startRow();
            double dx = 0, u = rowU, v = rowV;
            for (;;) {
                visit(dx, dy, u, v);
                dx += 1;
                u += kRootHalf;
                v -= kRootHalf;
                if (dx > half) break;
            }
            dy += 1;
            if (std::floor(sq_.cy + dy) >= std::floor(sq_.cy - dy)) break;
            rowU += kRootHalf;
            rowV += kRootHalf;
        }
    }

  private:
    void visit(double dx, double dy, double u, double v) {
        if (paint_.pixel(dx, dy) == kWhite) fillMain(dx, dy);
        if (sq_.nsides == 8) fillDiagonal(dx, dy, u, v);
        if (census_) census_->count(paint_.pixel(dx, dy), sq_.cx + dx, sq_.cy + dy);
    }
    // A white scan point: its region and the seven mirrored ones get a fresh colour.
    void fillMain(double dx, double dy) {
        const int32_t c = chooser_.firstPass();
        if (c == kWhite || c == kListBlack) return;
        paint_.setColour(c);
        if (paint_.pixel(dx, dy) == kWhite) paint_.fillMain(dx, dy);
    }
    // Eight sides: the regions under Q1 and its images, when white or unlike the scan point's.
    void fillDiagonal(double dx, double dy, double u, double v) {
        const int32_t q = paint_.pixel(u, v), p = paint_.pixel(dx, dy);
        const bool scanColoured = p != kWhite && p != kBorder;
        if (!(q == kWhite || (q != p && scanColoured))) return;
        int32_t c = chooser_.eightSided();
        if (sq_.rule == DiagonalColour::ScanColour && scanColoured) c = p;
        if (c == kWhite) return;
        paint_.setColour(c);
        paint_.fillDiagonal(u, v);
    }

    Painter<Rec>& paint_;
    ColourChooser& chooser_;
    const RegionSquare& sq_;
    Census* census_;
};

// No scan point is the centre itself; a white centre pixel enclosed by the outline would
// otherwise stay white.
template <class Rec> void fillCentre(Painter<Rec>& paint, ColourChooser& chooser) {
    if (paint.pixel(0, 0) != kWhite) return;
    const int32_t c = chooser.firstPass();
    if (c == kWhite || c == kListBlack) return;
    paint.setColour(c);
    paint.fill(0, 0);
}

// The largest areas of the census, repainted from the user's list.
template <class Rec>
void recolour(Painter<Rec>& paint, Census& census, const ColourSettings& cs, Random& rng,
              const RegionSquare& sq) {
    Recolouring recolour(census, cs.list, rng);
    Refill r;
    while (recolour.next(r)) {
        paint.setColour(r.colour);
        paint.fillCensus(r.x - sq.cx, r.y - sq.cy);
    }
}

template <class Rec>
ColourRun colour(Surface& sf, const ColourSettings& cs, Random& rng, const RegionSquare& sq,
                 Rec& rec) {
    Painter<Rec> paint(sf, sq.cx, sq.cy, rec);
    fillOutside(sf, rec, paint);
    ColourChooser chooser(cs, rng);
    chooser.startRow();
    ColourRun run;
    const bool census = cs.tcolor2 == kListOn;
    QuarterScan<Rec>(paint, chooser, sq, census ? &run.census : nullptr).run();
    fillCentre(paint, chooser);
    run.lastpick = chooser.lastpick();
    if (census && recolouringOn(cs)) recolour(paint, run.census, cs, rng, sq);
    return run;
}

} // namespace

ColourRun colourRegions(Surface& sf, const ColourSettings& cs, Random& rng, const RegionSquare& sq,
                        Recorder* rec) {
    if (rec) return colour(sf, cs, rng, sq, *rec);
    NoRecorder none;
    return colour(sf, cs, rng, sq, none);
}

} // namespace vx
