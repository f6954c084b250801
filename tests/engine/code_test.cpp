// Drawing codes and the history of a session.
#include "model/code.hpp"
#include "model/history.hpp"
#include "surface/numeric.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

Drawing randomDrawing(Random& r) {
    Drawing d;
    d.kind = r.next() < 0.5 ? DrawingKind::Shape : DrawingKind::Pattern;
    d.seed = r.next() < 0.7 ? static_cast<uint64_t>(r.next() * 4294967296.0)
                            : static_cast<uint64_t>(r.next() * 1.8e19);
    DrawSettings& s = d.settings;
    const bool whole = r.next() < 0.8;
    auto value = [&](double lo, double hi) {
        const double v = lo + r.next() * (hi - lo);
        return whole ? std::floor(v) : v;
    };
    s.size = value(40, 400);
    s.detail = value(1, 25);
    s.complexity = value(1, 25);
    s.smoothness = value(1, 9);
    const double sides[] = {4, 8, 2};
    s.sides = sides[r.upTo(3) - 1];
    s.fancy = r.next() < 0.5;
    s.colour.tcolor = r.upTo(3) - 1;
    s.colour.tcolor2 = r.upTo(2) - 1;
    if (s.colour.tcolor2 == 1)
        for (int n = r.upTo(70) - 1; n > 0; --n)
            s.colour.list.push_back(r.next() < 0.3 ? -r.upTo(7)
                                                   : static_cast<int32_t>(r.upTo(16777215)));
    if (s.colour.tcolor == 2)
        for (int n = r.upTo(70) - 1; n > 0; --n)
            s.colour.scale.push_back(static_cast<int32_t>(r.upTo(16777216)) - 1);
    // A new colouring now and then, small numbers and the largest.
    const double k = r.next();
    d.newColours = k < 0.6 ? 0 : k < 0.9 ? static_cast<uint32_t>(r.upTo(20)) : UINT32_MAX;
    return d;
}

void expectSame(const Drawing& a, const Drawing& b) {
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.seed, b.seed);
    const DrawSettings &s = a.settings, &t = b.settings;
    EXPECT_EQ(s.size, t.size);
    EXPECT_EQ(s.detail, t.detail);
    EXPECT_EQ(s.complexity, t.complexity);
    EXPECT_EQ(s.smoothness, t.smoothness);
    EXPECT_EQ(s.sides, t.sides);
    EXPECT_EQ(s.fancy, t.fancy);
    EXPECT_EQ(s.colour.tcolor, t.colour.tcolor);
    EXPECT_EQ(s.colour.tcolor2, t.colour.tcolor2);
    EXPECT_EQ(s.colour.list, t.colour.list);
    EXPECT_EQ(s.colour.scale, t.colour.scale);
    EXPECT_EQ(a.newColours, b.newColours);
}

} // namespace

TEST(DrawingCode, EncodesAndDecodesEveryKindOfDrawing) {
    Random r(2024);
    for (int i = 0; i < 2000; ++i) {
        const Drawing d = randomDrawing(r);
        const std::string code = drawingCode(d);
        for (char c : code) ASSERT_TRUE(std::isdigit(c) || std::isupper(c) || c == '-') << code;
        const Result<Drawing> back = decodeDrawing(code);
        ASSERT_TRUE(back) << code << ": " << back.error().message;
        Drawing expected = d;
        if (expected.settings.colour.tcolor2 == 0) expected.settings.colour.list.clear();
        if (expected.settings.colour.tcolor != 2) expected.settings.colour.scale.clear();
        expectSame(*back, expected);
        // Typed in small letters, without the dashes, the code is the same.
        std::string typed;
        for (char c : code)
            if (c != '-') typed += static_cast<char>(std::tolower(c));
        ASSERT_TRUE(decodeDrawing(typed)) << typed;
    }
}

TEST(DrawingCode, OneMistypedCharacterIsCaught) {
    const char alphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
    Random r(7);
    for (int i = 0; i < 40; ++i) {
        const std::string code = drawingCode(randomDrawing(r));
        for (size_t k = 0; k < code.size(); ++k) {
            if (code[k] == '-') continue;
            for (const char* a = alphabet; *a; ++a) {
                if (*a == code[k]) continue;
                std::string typo = code;
                typo[k] = *a;
                ASSERT_FALSE(decodeDrawing(typo)) << code << " -> " << typo;
            }
        }
        ASSERT_FALSE(decodeDrawing(code.substr(0, code.size() - 1))) << code;
        ASSERT_FALSE(decodeDrawing(code + "0")) << code;
    }
    for (const char* bad : {"", "0", "hello", "40000-0N2G7-G15G0-U", "?????"}) {
        const Result<Drawing> d = decodeDrawing(bad);
        ASSERT_FALSE(d) << bad;
        EXPECT_EQ(d.error().message.rfind("This is not a drawing code", 0), 0u) << bad;
    }
}

// A drawing from an imported scale carries the scale; one too large to carry gets a code that
// says it cannot make the drawing again; codes from before scales were carried still decode.
TEST(DrawingCode, TheImportedScaleTravelsWithTheCodeUpToItsBound) {
    Drawing d;
    d.seed = 12345;
    d.settings.colour.tcolor = 2;
    d.settings.colour.tcolor2 = 0;
    d.settings.colour.scale.assign(kMaxCodedScale, 0x00FF00);
    d.settings.colour.scale.front() = 0; // black is a colour of a scale
    Result<Drawing> back = decodeDrawing(drawingCode(d));
    ASSERT_TRUE(back) << back.error().message;
    EXPECT_EQ(back->settings.colour.scale, d.settings.colour.scale);

    d.settings.colour.scale.push_back(0x0000FF);
    back = decodeDrawing(drawingCode(d));
    ASSERT_FALSE(back);
    EXPECT_EQ(back.error().message,
              "This drawing cannot be made again from its code: it was drawn from an imported "
              "colour scale of 4097 colours, more than a code carries (4096).");
    EXPECT_LT(drawingCode(d).size(), 40u);

    for (const char* old : {"40006-0WJG7-G160J", "40006-0WJG7-G16J8-003ZJ-8"}) {
        back = decodeDrawing(old);
        ASSERT_TRUE(back) << old;
        EXPECT_EQ(back->settings.colour.tcolor, 2) << old;
        EXPECT_TRUE(back->settings.colour.scale.empty()) << old;
    }
    EXPECT_EQ(decodeDrawing("40006-0WJG7-G16J8-003ZJ-8")->settings.colour.list,
              (std::vector<int32_t>{255, -3}));
}

// The number of a new colouring comes last, only when there is one: the codes made before it
// are the codes still made.
TEST(DrawingCode, CodesWithoutANewColouringAreTheTextTheyWere) {
    // A pattern, a basic shape, a list with fractions and 64-bit seed, an imported scale.
    for (const char* old :
         {"40000-02JG7-G15G0-K", "00000-16JG7-G140E",
          "5VKB5-00T0D-ZR000-00000-40C00-00000-0007Z-R0000-00000-0G000-00000-00017-9000F-YBZR0-"
          "01M00-00M0F-Y00FZ-ZZYMR-1040Q",
          "00000-04JG7-G16GA-RP100-GSP6B-XBJZ7-MJM5Y-J6YRV-265A0-7GSAB-PAZPV-0B6T1-SCPVV-Z6VFB-"
          "M3ZSE-GF3ZV-QC4K1-6H14C-8MDYE-BSEWZ-FMEHP-B0HM4-3Y02H-50GN"}) {
        const Result<Drawing> d = decodeDrawing(old);
        ASSERT_TRUE(d) << old;
        EXPECT_EQ(d->newColours, 0u);
        EXPECT_EQ(drawingCode(*d), old);
        Drawing again = *d;
        again.newColours = 1;
        EXPECT_LE(drawingCode(again).size(), std::string(old).size() + 3) << drawingCode(again);
    }
}

TEST(DrawingCode, StartUpSettingsMakeAShortCode) {
    Drawing d;
    d.seed = 4000000000u;
    d.settings.colour.tcolor2 = 0; // true colour
    EXPECT_LE(drawingCode(d).size(), 17u) << drawingCode(d);
}

TEST(History, GoesBackAndForwardAsABrowserDoes) {
    History h;
    EXPECT_EQ(h.back(), nullptr);
    EXPECT_EQ(h.forward(), nullptr);
    EXPECT_EQ(h.current(), nullptr);
    for (const char* c : {"a", "b", "c"}) h.add(c);
    EXPECT_EQ(h.forward(), nullptr); // at the newest
    EXPECT_EQ(*h.back(), "b");
    EXPECT_EQ(*h.back(), "a");
    EXPECT_EQ(h.back(), nullptr); // at the oldest
    EXPECT_EQ(*h.current(), "a");
    EXPECT_EQ(*h.forward(), "b");
    h.add("d"); // drops "c"
    EXPECT_EQ(h.size(), 3u);
    EXPECT_EQ(h.forward(), nullptr);
    EXPECT_EQ(*h.back(), "b");

    History many;
    for (int i = 0; i < 600; ++i) many.add(std::to_string(i));
    EXPECT_EQ(many.size(), History::kLimit);
    EXPECT_EQ(*many.current(), "599");
    for (size_t i = 1; i < History::kLimit; ++i) many.back();
    EXPECT_EQ(*many.current(), "100");
}
