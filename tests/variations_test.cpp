// Variations of a drawing: what each kind changes, and the page that offers them.
#include "app/events.hpp"
#include "app/history.hpp"
#include "app/keys.hpp"
#include "app/modes.hpp"
#include "app/panel.hpp"
#include "app/render.hpp"
#include "app/variationpage.hpp"
#include "model/code.hpp"
#include "model/fields.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

#include <set>

using namespace vx;

namespace {

Drawing base(double size, double detail, double complexity, double smoothness, bool fancy) {
    Drawing d{DrawingKind::Pattern, 123456, {}, 320, 200, 0};
    d.settings = {size, detail, complexity, smoothness, 0, 4, fancy, {}};
    d.settings.colour.list = {255, -3};
    return d;
}

// The settings a nudge may move, and the ones it must keep.
double DrawSettings::*const kNudged[] = {&DrawSettings::size, &DrawSettings::detail,
                                         &DrawSettings::complexity, &DrawSettings::smoothness};

int changedSettings(const DrawSettings& a, const DrawSettings& b) {
    int n = a.fancy != b.fancy;
    for (auto f : kNudged) n += a.*f != b.*f;
    return n;
}

} // namespace

// Each kind changes what it says and nothing else, at the ends of every range as in the
// middle, deal after deal, and the same deal gives the same eight again.
TEST(Variations, EachKindChangesWhatItSaysAndNothingElse) {
    ColourSettings now;
    now.tcolor = kBasicColours;
    now.tcolor2 = kListOff;
    for (const Drawing& d : {base(200, 16, 1, 2, true), base(40, 25, 25, 9, false),
                             base(400, 1, 1, 1, true), base(255.5, 13, 3, 5, false)}) {
        std::set<std::string> codes;
        for (int deal = 0; deal < 3; ++deal) {
            for (VariationKind kind :
                 {VariationKind::Colours, VariationKind::Seeds, VariationKind::Settings}) {
                const std::vector<Drawing> eight = variations(d, kind, deal, now);
                ASSERT_EQ(eight.size(), 8u);
                EXPECT_EQ(drawingCode(variations(d, kind, deal, now)[3]), drawingCode(eight[3]));
                std::set<int> nudged;
                std::set<std::string> dealt;
                for (const Drawing& v : eight) {
                    // Never the drawing, nor twice in a deal; new colours and seeds never come
                    // again in a later deal (the nudges of a setting are few).
                    EXPECT_NE(drawingCode(v), drawingCode(d));
                    EXPECT_TRUE(dealt.insert(drawingCode(v)).second) << drawingCode(v);
                    if (kind != VariationKind::Settings) {
                        EXPECT_TRUE(codes.insert(drawingCode(v)).second) << drawingCode(v);
                    }
                    EXPECT_EQ(v.kind, d.kind);
                    EXPECT_EQ(v.width, d.width);
                    if (kind == VariationKind::Colours) {
                        EXPECT_EQ(v.seed, d.seed);
                        EXPECT_EQ(changedSettings(v.settings, d.settings), 0);
                        EXPECT_EQ(v.settings.colour.tcolor, now.tcolor);
                        EXPECT_GE(v.newColours, 1u);
                    } else if (kind == VariationKind::Seeds) {
                        EXPECT_NE(v.seed, d.seed);
                        EXPECT_EQ(changedSettings(v.settings, d.settings), 0);
                        EXPECT_EQ(v.settings.colour.list, d.settings.colour.list);
                    } else {
                        EXPECT_EQ(v.seed, d.seed);
                        EXPECT_EQ(v.settings.colour.list, d.settings.colour.list);
                        ASSERT_EQ(changedSettings(v.settings, d.settings), 1);
                        int n = 0;
                        for (const FieldSpec* f :
                             {&kSizeField, &kDetailField, &kComplexityField, &kSmoothnessField}) {
                            EXPECT_GE(v.settings.*f->setting, f->lo);
                            EXPECT_LE(v.settings.*f->setting, f->hi);
                            if (v.settings.*f->setting != d.settings.*f->setting) nudged.insert(n);
                            ++n;
                        }
                        if (v.settings.fancy != d.settings.fancy) nudged.insert(-1);
                    }
                }
                // Every one of the five settings is nudged in each deal.
                if (kind == VariationKind::Settings) {
                    EXPECT_EQ(nudged.size(), 5u);
                }
            }
        }
    }
}

namespace {

struct Page : ::testing::Test {
    vx::testing::InEmptyFolder folder;
    vx::testing::ScriptedPlatform platform;
    Shapes sh{platform};
    void SetUp() override {
        startup(sh);
        command4Click(sh);
        mainLoopTick(sh);
        sh.surface.resize(360, 240);
        click("Command1");
    }
    void click(const char* name) { ASSERT_TRUE(programEvents().click(sh, name)) << name; }
    void key(int k) { programEvents().keyDown(sh, Events::kWindow, k); }
    std::string code() const { return *sh.history.current(); }
    // The drawing of a code as the window shows it.
    Surface view(const std::string& c) const {
        Drawing d = *decodeDrawing(c);
        d.width = sh.surface.width();
        d.height = sh.surface.height();
        return renderView(d);
    }
};

} // namespace

TEST_F(Page, EscapeGivesTheWindowBackAsItWas) {
    const Surface before = sh.surface;
    const std::string said = platform.lastStatus;
    const size_t drawings = sh.history.size();
    click("variations");
    EXPECT_FALSE(sh.surface == before);
    EXPECT_FALSE(sh.form.visible("Command1"));
    for (const char* m : kDrawingMenus) EXPECT_FALSE(sh.form.visible(m)) << m;
    for (const char* c : {"varcolours", "varseeds", "varsettings", "varmore", "varback"})
        EXPECT_TRUE(sh.form.visible(c)) << c;
    key(kKeyRight);
    key(kKeyS); // the page is not saved
    EXPECT_EQ(platform.lastStatus.rfind("Click a variation", 0), 0u) << platform.lastStatus;
    // One page at a time, and nothing is drawn under it.
    const Surface page = sh.surface;
    for (const char* item : {"newcolours", "randomsettings", "favourites", "variations"})
        click(item);
    EXPECT_TRUE(sh.surface == page);
    EXPECT_FALSE(sh.favouritesPage);
    key(kKeyEscape);
    EXPECT_TRUE(sh.surface == before);
    EXPECT_EQ(sh.history.size(), drawings);
    EXPECT_EQ(platform.lastStatus, said);
    EXPECT_TRUE(sh.form.visible("Command1"));
    for (const char* m : kDrawingMenus) EXPECT_TRUE(sh.form.visible(m)) << m;
    EXPECT_FALSE(sh.form.visible("varmore"));

    // A window that took a new size under the page gets the drawing at that size.
    click("variations");
    sh.surface.resize(300, 200);
    EXPECT_TRUE(windowResized(sh));
    key(kKeyEscape);
    EXPECT_TRUE(sh.surface == view(code()));
}

// Arrows and Enter, a click, "More" and the kinds: what is taken is the variation the page
// dealt, drawn on screen as its code draws it, and kept in the history.
TEST_F(Page, TheVariationTakenIsTheOneDealtAndEntersTheHistory) {
    const Drawing centre = *decodeDrawing(code());
    const ColourSettings now = colourSettings(sh.st);
    const size_t drawings = sh.history.size();
    click("variations");
    key(kKeyUp);
    key(kKeyRight); // the top right cell: the third variation
    key(kKeyEnter);
    std::string taken = drawingCode(variations(centre, VariationKind::Colours, 0, now)[2]);
    EXPECT_EQ(code(), taken);
    EXPECT_TRUE(sh.surface == view(taken));
    EXPECT_FALSE(sh.form.visible("varmore"));

    const Drawing second = *decodeDrawing(code());
    click("variations");
    click("varseeds");
    click("varmore");
    // A click on the bottom left cell, the sixth variation of the second deal.
    const VariationGrid g =
        variationGrid({0, kPageTop, 360, 240 - kPageTop}, 360, 240, kCaptionSpace);
    programEvents().mouseDown(sh, 1, g.cells[6].x + 2, g.cells[6].y + 2);
    taken = drawingCode(variations(second, VariationKind::Seeds, 1, now)[5]);
    EXPECT_EQ(code(), taken);
    EXPECT_TRUE(sh.surface == view(taken));
    EXPECT_EQ(sh.history.size(), drawings + 2);
    // The page opens on the kind chosen last.
    click("variations");
    EXPECT_TRUE(sh.form.checked("varseeds"));
    key(kKeyEnter); // the centre: the drawing on screen, nothing new
    EXPECT_EQ(sh.history.size(), drawings + 2);
}

// "New colours" by the colour rules chosen now: the same outline, its own code and history
// entry, drawn as its code draws it.
TEST_F(Page, NewColoursRecolourTheDrawingOnScreenByTheRulesChosenNow) {
    const Surface before = sh.surface;
    const size_t drawings = sh.history.size();
    click("bcolor7");
    click("newcolours");
    const Drawing d = *decodeDrawing(code());
    EXPECT_EQ(d.newColours, 1u);
    EXPECT_EQ(d.settings.colour.tcolor, kBasicColours);
    EXPECT_TRUE(sh.surface == view(code()));
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 360; ++x)
            ASSERT_EQ(before.pixel(x, y) == kBorder, sh.surface.pixel(x, y) == kBorder);
    click("newcolours");
    EXPECT_EQ(decodeDrawing(code())->newColours, 2u);
    EXPECT_EQ(sh.history.size(), drawings + 2);
    // A single shape too, drawn as its code draws it.
    click("csingle");
    click("Command1");
    click("newcolours");
    EXPECT_EQ(decodeDrawing(code())->newColours, 1u);
    EXPECT_TRUE(sh.surface == view(code()));

    // The page is for regular mode.
    click("ssaver");
    click("variations");
    EXPECT_EQ(platform.lastStatus,
              "Variations are chosen in regular mode: choose Options > Regular mode first.");
}
