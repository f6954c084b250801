// A recorder follows a drawing: the kept attempt's pens give its outline, and its events
// replayed on a white surface give the finished drawing.
#include "engine/pattern.hpp"
#include "engine/pens.hpp"
#include "engine/shape.hpp"

#include <gtest/gtest.h>

#include <variant>

using namespace vx;

namespace {

struct Fill {
    int x, y;
    int32_t colour;
};
struct Tiled {
    int side;
};
using Event = std::variant<PenMark, Stroke, Fill, Tiled>;

// Every event, and the surface as the kept attempt left it.
struct Log : Recorder {
    explicit Log(const Surface& canvas) : canvas(canvas) {}
    void began(const RecordStart& s) override { start = s; }
    void attemptBegan() override { attempt.clear(); }
    void marked(const PenMark& m) override { attempt.push_back(m), all.push_back(m); }
    void stroked(const Stroke& k) override { attempt.push_back(k), all.push_back(k); }
    void attemptEnded(bool kept) override {
        if (kept) outline = canvas, keptAttempt = attempt;
    }
    void filled(int x, int y, int32_t c) override { all.push_back(Fill{x, y, c}); }
    void tiled(int side) override { all.push_back(Tiled{side}); }

    const Surface& canvas;
    RecordStart start;
    std::vector<Event> attempt, keptAttempt, all;
    Surface outline;
};

Surface replay(const RecordStart& st, const std::vector<Event>& events) {
    Surface sf(st.width, st.height), tile;
    for (const Event& e : events) {
        if (auto m = std::get_if<PenMark>(&e)) markPen(sf, st.cx, st.cy, m->dx, m->dy, m->images);
        if (auto k = std::get_if<Stroke>(&e)) drawStroke(sf, *k);
        if (auto f = std::get_if<Fill>(&e)) sf.setFillColor(f->colour), sf.floodFill(f->x, f->y, 1);
        if (auto t = std::get_if<Tiled>(&e)) tilePattern(sf, t->side, tile);
    }
    return sf;
}

struct Case {
    DrawingKind kind;
    double sides, smoothness, tcolor;
    std::vector<int32_t> list; // the user's list: the largest areas repainted
};

} // namespace

TEST(Recorder, KeptPensGiveTheOutlineAndTheEventsReplayTheDrawingUnchanged) {
    const Case cases[] = {
        {DrawingKind::Shape, 4, 2, 0, {}},   {DrawingKind::Shape, 8, 9, 1, {255, -3, 16711680}},
        {DrawingKind::Shape, 2, 1, 1, {}},   {DrawingKind::Pattern, 4, 5, 1, {255, -5}},
        {DrawingKind::Pattern, 8, 2, 0, {}}, {DrawingKind::Pattern, 4, 1, 1, {}}};
    for (uint64_t seed = 1; seed <= 3; ++seed)
        for (const Case& c : cases) {
            DrawSettings s;
            s.size = 120 + 50 * static_cast<double>(seed);
            s.sides = c.sides, s.smoothness = c.smoothness, s.fancy = seed % 2;
            s.colour.tcolor = c.tcolor, s.colour.list = c.list;
            Surface canvas(520, 410), plain(520, 410), picture;
            Log log(canvas);
            Random rng(seed), same(seed);
            if (c.kind == DrawingKind::Shape) {
                ASSERT_TRUE(drawShape(s, rng, canvas, picture, &log).closed);
                drawShape(s, same, plain, picture);
            } else {
                ASSERT_TRUE(drawPattern(s, rng, canvas, picture, {}, &log).accepted);
                drawPattern(s, same, plain, picture);
            }
            const auto at = ::testing::Message() << "seed " << seed << ", sides " << c.sides;
            // The pens and the frame of the kept attempt, and nothing else, were its drawing.
            EXPECT_TRUE(replay(log.start, log.keptAttempt) == log.outline) << at;
            EXPECT_TRUE(replay(log.start, log.all) == canvas) << at;
            // Recording changes nothing: neither the drawing nor the random numbers used.
            EXPECT_TRUE(canvas == plain) << at;
            EXPECT_EQ(rng.state(), same.state()) << at;
        }
}
