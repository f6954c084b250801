#include "engine/colouring.hpp"

#include "engine/fill.hpp"

#include <cmath>

namespace vx {

namespace {

constexpr double kRootHalf = 0.70710678118654752440; // 1 / sqrt(2)

// Fills on the one pixel rule of the generators: every seed is the centre plus
// pixelOffset(offset), so the eight images of an offset select mirrored pixels.
class Painter {
  public:
    Painter(Surface& sf, int cx, int cy) : sf_(sf), cx_(cx), cy_(cy) {}

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
        fillWithRetry(sf_, x, y);
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
    int cx_, cy_;
};

} // namespace

ColourRun colourRegions(Surface& sf, const ColourSettings& cs, Random& rng, int cx, int cy,
                        double s, int nsides, DiagonalColour rule) {
    Painter paint(sf, cx, cy);

    // Everything outside the outline, the size cross included, becomes colour 1.
    sf.box(-10, -10, bigBoxX(sf), bigBoxY(sf), kBorder);
    paint.setColour(kBorder);
    fillWithRetry(sf, 1, 1, 2, 2);

    ColourChooser chooser(cs, rng);
    chooser.startRow();
    ColourRun run;
    const bool census = cs.tcolor2 == 1;
    const bool diagonal = nsides == 8;

    // The scan point P1 = centre + (dx, dy) walks the quarter right of the centre column and
    // above the centre row; Q1 = centre + (u, v) is its image turned by 45 degrees.
    const double half = s / 2;
    const double g = half * kRootHalf;
    double dy = -half;
    double rowU = -g, rowV = -g;
    for (;;) {
        chooser.startRow();
        double dx = 0, u = rowU, v = rowV;
        for (;;) {
            if (paint.pixel(dx, dy) == kWhite) {
                const int32_t c = chooser.firstPass();
                if (c != kWhite && c != kListBlack) {
                    paint.setColour(c);
                    if (paint.pixel(dx, dy) == kWhite) paint.fillMain(dx, dy);
                }
            }
            if (diagonal) {
                const int32_t q = paint.pixel(u, v), p = paint.pixel(dx, dy);
                const bool scanColoured = p != kWhite && p != kBorder;
                if (q == kWhite || (q != p && scanColoured)) {
                    int32_t c = chooser.eightSided();
                    if (rule == DiagonalColour::ScanColour && scanColoured) c = p;
                    if (c != kWhite) {
                        paint.setColour(c);
                        paint.fillDiagonal(u, v);
                    }
                }
            }
            if (census) run.census.count(paint.pixel(dx, dy), cx + dx, cy + dy);
            dx += 1;
            u += kRootHalf;
            v -= kRootHalf;
            if (dx > half) break;
        }
        dy += 1;
        if (std::floor(cy + dy) >= std::floor(cy - dy)) break;
        rowU += kRootHalf;
        rowV += kRootHalf;
    }

    // No scan point is the centre itself; a white centre pixel enclosed by the outline would
    // otherwise stay white.
    if (paint.pixel(0, 0) == kWhite) {
        const int32_t c = chooser.firstPass();
        if (c != kWhite && c != kListBlack) {
            paint.setColour(c);
            paint.fill(0, 0);
        }
    }

    run.lastpick = chooser.lastpick();
    if (census && recolouringOn(cs)) {
        Recolouring recolour(run.census, cs.list, rng);
        Refill r;
        while (recolour.next(r)) {
            paint.setColour(r.colour);
            paint.fillCensus(r.x - cx, r.y - cy);
        }
    }
    return run;
}

} // namespace vx
