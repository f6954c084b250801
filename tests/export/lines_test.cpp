// Lines of one pen width: cut at a rectangle, joined where pens met, smoothed along the pens.
#include "export/lines.hpp"

#include <gtest/gtest.h>

#include <cmath>

using namespace vx;

namespace {

// Points along the line, at each segment's ends and between.
std::vector<VecPoint> samples(const VecLine& l) {
    std::vector<VecPoint> out{l.start};
    VecPoint from = l.start;
    for (const VecSegment& s : l.segments) {
        for (int i = 1; i <= 16; ++i) {
            const double t = i / 16.0, u = 1 - t;
            out.push_back(
                s.curve ? VecPoint{u * u * u * from.x + 3 * u * u * t * s.c1.x +
                                       3 * u * t * t * s.c2.x + t * t * t * s.to.x,
                                   u * u * u * from.y + 3 * u * u * t * s.c1.y +
                                       3 * u * t * t * s.c2.y + t * t * t * s.to.y}
                        : VecPoint{from.x + (s.to.x - from.x) * t, from.y + (s.to.y - from.y) * t});
        }
        from = s.to;
    }
    return out;
}

VecLine arch() {
    VecLine l;
    l.start = {-1, 6};
    l.segments.push_back({true, {4, -14}, {7, -14}, {11, 6}}); // in, out at the top, in, out
    return l;
}

} // namespace

TEST(Lines, CutAtARectangleTheyKeepWhatIsInsideAndEndOnItsEdges) {
    const VecRect r{0, 0, 10, 10};
    struct Case {
        VecLine line;
        size_t parts;
    };
    VecLine closed = rectangleLine({5, 5}, {15, 8}); // starts inside, leaves on the right
    const Case cases[] = {{straightLine({-5, 5}, {15, 5}), 1},
                          {straightLine({2, 2}, {8, 3}), 1},
                          {straightLine({-5, -5}, {-1, 20}), 0},
                          {arch(), 2},
                          {closed, 1}};
    for (const Case& c : cases) {
        const std::vector<VecLine> parts = cutLines({c.line}, r);
        ASSERT_EQ(parts.size(), c.parts);
        for (const VecLine& p : parts) {
            for (VecPoint q : samples(p))
                EXPECT_TRUE(q.x > -1e-6 && q.y > -1e-6 && q.x < 10 + 1e-6 && q.y < 10 + 1e-6)
                    << q.x << "," << q.y;
            // A cut end lies on an edge.
            for (VecPoint q : {p.start, p.segments.back().to}) {
                const bool original =
                    std::hypot(q.x - c.line.start.x, q.y - c.line.start.y) < 1e-9 ||
                    std::hypot(q.x - c.line.segments.back().to.x,
                               q.y - c.line.segments.back().to.y) < 1e-9;
                const bool edge = std::fabs(q.x) < 1e-6 || std::fabs(q.x - 10) < 1e-6 ||
                                  std::fabs(q.y) < 1e-6 || std::fabs(q.y - 10) < 1e-6;
                EXPECT_TRUE(original || edge) << q.x << "," << q.y;
            }
        }
    }
    // The closed line cut open goes on from where it came back in round to where it left.
    const VecLine open = cutLines({closed}, r).front();
    EXPECT_NEAR(open.start.x, 10, 1e-9);
    EXPECT_NEAR(open.start.y, 8, 1e-9);
    EXPECT_NEAR(open.segments.back().to.x, 10, 1e-9);
    EXPECT_NEAR(open.segments.back().to.y, 5, 1e-9);
}

TEST(Lines, PensThatMeetAreOneLineSmoothedAlongTheirPositions) {
    // A pen along a quarter circle one pixel a step, and its mirror image from the same start.
    std::vector<VecPoint> a, b;
    for (int i = 0; i <= 47; ++i) {
        const double t = i / 30.0;
        a.push_back({30 * std::sin(t), 30 - 30 * std::cos(t)});
        b.push_back({-a.back().x, a.back().y});
    }
    const std::vector<PenPath> joined = joinPaths({a, b}, 2.0);
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].points.size(), a.size() + b.size());
    const VecLine l = smoothPath(joined[0], 0.2);
    EXPECT_LT(l.segments.size(), a.size() / 2) << "only where the pen turned";
    // Every pen position lies on the line, and the line never strays from the circle.
    const std::vector<VecPoint> along = samples(l);
    for (const std::vector<VecPoint>* pen : {&a, &b})
        for (VecPoint q : *pen) {
            double nearest = 1e9;
            for (VecPoint s : along) nearest = std::min(nearest, std::hypot(s.x - q.x, s.y - q.y));
            EXPECT_LT(nearest, 0.3) << q.x << "," << q.y;
        }
    for (VecPoint s : along) EXPECT_NEAR(std::hypot(s.x, s.y - 30), 30, 0.3);
}
