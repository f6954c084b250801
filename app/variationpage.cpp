#include "app/variationpage.hpp"

#include "app/events.hpp"
#include "app/generators.hpp"
#include "app/history.hpp"
#include "app/keys.hpp"
#include "app/panel.hpp"
#include "app/render.hpp"
#include "engine/fill.hpp"
#include "surface/shrink.hpp"

#include <algorithm>
#include <atomic>

namespace vx {

struct VariationPage {
    VariationKind kind = VariationKind::Colours;
    int deal = 0;
    int selected = kCentreCell;
    std::array<Drawing, 9> drawings; // the centre: the drawing on screen
    std::array<Surface, 9> pictures; // empty until made
    // What became of each picture: could not be made, or the drawing on screen again (a
    // setting that changed nothing this seed draws).
    enum class Note { None, Failed, Same };
    std::array<Note, 9> notes{};
    std::shared_ptr<const Surface> kept; // the window as the page found it
    std::string keptStatus;
    VariationGrid grid;
    // False once the deal is replaced or the page closed: pictures still coming are dropped.
    std::shared_ptr<std::atomic<bool>> live;
};

namespace {

constexpr const char* kKindButtons[] = {"varcolours", "varseeds", "varsettings"};
constexpr const char* kPageControls[] = {"varcolours", "varseeds", "varsettings", "varmore",
                                         "varback"};
constexpr int32_t kCaptionColour = kWhite;
const int32_t kWaiting = qbColor(8);
const int32_t kChosen = qbColor(12);

VariationGrid layout(const Shapes& sh, const Drawing& d) {
    const Box area{0, kPageTop, sh.surface.width(), sh.surface.height() - kPageTop};
    return variationGrid(area, d.width, d.height, kCaptionSpace);
}

void markKind(Shapes& sh, VariationKind kind) {
    const std::vector<std::string> group(std::begin(kKindButtons), std::end(kKindButtons));
    sh.form.selectOption(kKindButtons[static_cast<int>(kind)], group);
}

void paintCell(Shapes& sh, int i) {
    VariationPage& p = *sh.variationPage;
    Surface& sf = sh.surface;
    const size_t k = static_cast<size_t>(i);
    const Box& cell = p.grid.cells[k];
    const Box& place = p.grid.pictures[k];
    sf.fillBox(cell.x - 3, cell.y - 3, cell.x + cell.w + 2, cell.y + cell.h + 2, kBorder);
    Surface& picture = p.pictures[k];
    // Made for a larger window: fitted to the place it has now.
    if (picture.width() > place.w || picture.height() > place.h)
        picture = shrink(picture, place.w, place.h);
    if (picture.width() > 0)
        sf.paint(picture, place.x + (place.w - picture.width()) / 2,
                 place.y + (place.h - picture.height()) / 2, 0, 0, picture.width(),
                 picture.height());
    else
        sf.fillBox(place.x, place.y, place.x + place.w - 1, place.y + place.h - 1, kWaiting);
    std::string caption = i == kCentreCell
                              ? "On screen"
                              : variationCaption(p.drawings[kCentreCell], p.drawings[k], p.kind);
    if (p.notes[k] == VariationPage::Note::Failed) caption += " (could not be drawn)";
    if (p.notes[k] == VariationPage::Note::Same) caption += ": the same drawing";
    sh.platform->drawText(sf, place.x, place.y + place.h + 3, caption, kCaptionColour);
    // The chosen cell in a thick light red frame; the others in a thin grey one, which shows
    // where a single shape's cell ends on the black.
    for (int m = 1; m <= (i == p.selected ? 3 : 1); ++m)
        sf.box(place.x - m, place.y - m, place.x + place.w - 1 + m, place.y + place.h - 1 + m,
               i == p.selected ? kChosen : kWaiting);
}

void paintPage(Shapes& sh) {
    blankWindow(sh.surface, kBorder);
    for (int i = 0; i < 9; ++i) paintCell(sh, i);
}

struct Made {
    Surface picture;
    bool same = false; // the drawing on screen, pixel for pixel
};

void pictureMade(Shapes& sh, int i, Made& made, bool live) {
    if (!live || !sh.variationPage) return;
    VariationPage& p = *sh.variationPage;
    const size_t k = static_cast<size_t>(i);
    p.notes[k] = made.picture.width() == 0 ? VariationPage::Note::Failed
                 : made.same               ? VariationPage::Note::Same
                                           : VariationPage::Note::None;
    p.pictures[k] = std::move(made.picture);
    paintCell(sh, i);
}

Made variationMade(const Drawing& d, const Box& place, const Surface& onScreen) {
    const Surface view = renderView(d);
    return {shrink(view, place.w, place.h), view == onScreen};
}

// The pictures not made yet, on the workers; each is painted as it comes.
void makePictures(Shapes& sh) {
    VariationPage& p = *sh.variationPage;
    std::vector<Platform::Job> jobs;
    for (int i = 0; i < 9; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (p.pictures[k].width() > 0) continue;
        auto out = std::make_shared<Made>();
        const Box place = p.grid.pictures[k];
        Platform::Job job;
        if (i == kCentreCell)
            job.run = [kept = p.kept, place, out, live = p.live] {
                if (*live) out->picture = shrink(*kept, place.w, place.h);
            };
        else
            job.run = [d = p.drawings[k], kept = p.kept, place, out, live = p.live] {
                if (*live) *out = variationMade(d, place, *kept);
            };
        job.done = [&sh, i, out, live = p.live] { pictureMade(sh, i, *out, *live); };
        jobs.push_back(std::move(job));
    }
    sh.platform->runOnWorkers(std::move(jobs));
}

void deal(Shapes& sh) {
    VariationPage& p = *sh.variationPage;
    if (p.live) *p.live = false;
    p.live = std::make_shared<std::atomic<bool>>(true);
    const Drawing& centre = p.drawings[kCentreCell];
    const std::vector<Drawing> eight = variations(centre, p.kind, p.deal, colourSettings(sh.st));
    for (size_t n = 0; n < kVariations; ++n) {
        const size_t k = n < kCentreCell ? n : n + 1;
        p.drawings[k] = n < eight.size() ? eight[n] : centre;
        p.pictures[k] = Surface();
        p.notes[k] = VariationPage::Note::None;
    }
    paintPage(sh);
    makePictures(sh);
}

void select(Shapes& sh, int i) {
    VariationPage& p = *sh.variationPage;
    const int was = p.selected;
    p.selected = i;
    paintCell(sh, was);
    paintCell(sh, i);
}

// The window as it was before the page, with its menus and panel.
void closePage(Shapes& sh) {
    VariationPage& p = *sh.variationPage;
    *p.live = false;
    sh.variationKind = static_cast<int>(p.kind);
    const std::shared_ptr<const Surface> kept = p.kept;
    sh.variationPage.reset();
    for (const char* n : kPageControls) sh.form.setVisible(n, false);
    for (const char* m : kDrawingMenus) sh.form.setVisible(m, true);
    showOptionsPanel(sh);
    if (kept->width() == sh.surface.width() && kept->height() == sh.surface.height())
        sh.surface.paint(*kept, 0, 0, 0, 0, kept->width(), kept->height());
    else
        reshowDrawing(sh); // the window took a new size meanwhile
}

void take(Shapes& sh, int i) {
    if (i == kCentreCell) {
        varbackClick(sh);
        return;
    }
    const Drawing d = sh.variationPage->drawings[static_cast<size_t>(i)];
    closePage(sh);
    showDrawing(sh, d, true);
}

} // namespace

void newColoursClick(Shapes& sh) {
    if (sh.pageOpen()) return;
    if (!sh.lastDrawing) {
        sh.platform->status("No drawing has been made yet.");
        return;
    }
    Drawing d = *sh.lastDrawing;
    d.settings.colour = colourSettings(sh.st);
    d.newColours = nextColouring(d.newColours);
    showDrawing(sh, d, true);
}

void variationsClick(Shapes& sh) {
    if (sh.pageOpen()) return;
    if (sh.st.ssmode == kSaverMode) {
        sh.platform->status("Variations are chosen in regular mode: choose Options > Regular "
                            "mode first.");
        return;
    }
    if (!sh.lastDrawing) {
        sh.platform->status("No drawing has been made yet.");
        return;
    }
    auto page = std::make_shared<VariationPage>();
    page->kind = static_cast<VariationKind>(std::clamp(sh.variationKind, 0, 2));
    page->drawings[kCentreCell] = *sh.lastDrawing;
    page->kept = std::make_shared<const Surface>(sh.surface);
    page->keptStatus = sh.platform->lastStatus;
    page->grid = layout(sh, *sh.lastDrawing);
    sh.variationPage = page;
    hideOptionsPanel(sh);
    for (const char* m : kDrawingMenus) sh.form.setVisible(m, false);
    for (const char* n : kPageControls) sh.form.setVisible(n, true);
    markKind(sh, page->kind);
    sh.platform->status("Click a variation, or choose one with the arrow keys and Enter; Escape "
                        "goes back.");
    deal(sh);
}

void variationKindClick(Shapes& sh, VariationKind kind) {
    if (!sh.variationPage) return;
    VariationPage& p = *sh.variationPage;
    markKind(sh, kind);
    if (kind == p.kind) return;
    p.kind = kind;
    p.deal = 0;
    deal(sh);
}

void varmoreClick(Shapes& sh) {
    if (!sh.variationPage) return;
    VariationPage& p = *sh.variationPage;
    p.deal = p.deal < 1000000 ? p.deal + 1 : 0;
    deal(sh);
}

void varbackClick(Shapes& sh) {
    if (!sh.variationPage) return;
    const std::string said = sh.variationPage->keptStatus;
    closePage(sh);
    sh.platform->status(said);
}

void variationsMouseDown(Shapes& sh, int button, double x, double y) {
    if (!sh.variationPage) return;
    const VariationGrid& g = sh.variationPage->grid;
    for (int i = 0; i < 9; ++i)
        if (g.cells[static_cast<size_t>(i)].holds(x, y)) {
            if (button == 1)
                take(sh, i);
            else
                select(sh, i);
            return;
        }
}

bool variationsKey(Shapes& sh, int key) {
    if (!sh.variationPage) return false;
    const int at = sh.variationPage->selected, row = at / 3, col = at % 3;
    switch (key) {
    case kKeyLeft:
        if (col > 0) select(sh, at - 1);
        return true;
    case kKeyRight:
        if (col < 2) select(sh, at + 1);
        return true;
    case kKeyUp:
        if (row > 0) select(sh, at - 3);
        return true;
    case kKeyDown:
        if (row < 2) select(sh, at + 3);
        return true;
    case kKeyEnter:
        take(sh, at);
        return true;
    case kKeyEscape:
        varbackClick(sh);
        return true;
    default:
        // The page is no drawing to print or save.
        return key == kKeyP || key == kKeyS;
    }
}

void repaintVariationPage(Shapes& sh) {
    if (!sh.variationPage) return;
    VariationPage& p = *sh.variationPage;
    p.grid = layout(sh, p.drawings[kCentreCell]);
    paintPage(sh);
}

} // namespace vx
