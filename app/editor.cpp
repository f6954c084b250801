#include "app/editor.hpp"

#include "app/modes.hpp"
#include "app/panel.hpp"
#include "engine/fill.hpp"
#include "engine/shades.hpp"
#include "export/bmp.hpp"
#include "platform/files.hpp"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>

namespace vx {

namespace {

constexpr int32_t kTextColour = 0; // the window's text colour, black
constexpr int32_t kStoredWhite = 16777213;
constexpr size_t kLastSlot = 10000; // the colour list's last slot

// A shade chooser: its random-shade code, its page label and the label of its code in a cell.
struct Chooser {
    int code;
    const char* item;
    const char* label;
    const char* cellText;
    int cellDx;
};
constexpr Chooser kChoosers[] = {
    {-1, "blue", "Label10", "BL", 25},   {-2, "red", "Label11", "R", 27},
    {-3, "green", "Label12", "GRN", 21}, {-4, "purple", "Label13", "P", 27},
    {-5, "yellow", "Label15", "Y", 27},  {-6, "brown", "Label14", "BR", 25},
    {-7, "bwg", "Label16", "GRY", 21}};
constexpr const char* kShadeLabels[] = {"Label10", "Label11", "Label12", "Label13",
                                        "Label14", "Label15", "Label16"};

const Chooser* chooser(int code) {
    for (const Chooser& c : kChoosers)
        if (c.code == code) return &c;
    return nullptr;
}

int32_t& slot(State& st, double i) {
    return st.colorlist[static_cast<size_t>(std::clamp(i, 0.0, static_cast<double>(kLastSlot)))];
}

// The selection moves on to the first empty slot (and stops at `limit`).
void advance(State& st, double limit = kLastSlot) {
    while (st.numsquare < limit && slot(st, st.numsquare) != 0) st.numsquare += 1;
}

void showListButtons(Shapes& sh) {
    sh.form.setVisible("Command11", false);
    for (const char* n : {"Label6", "Command8", "Command2", "Command9", "Command10"})
        sh.form.setVisible(n, true);
}

// Walks the list page's cells as they are drawn; f(i, x, y) returns false to stop. A cell that
// would reach past the window's right edge starts the next row, so that every cell is whole.
template <class F> void forEachCell(const Shapes& sh, F f) {
    const int w = sh.surface.width(), h = sh.surface.height();
    int x = kCellLeft, y = kCellTop;
    for (int i = 1; i <= static_cast<int>(sh.st.numcolors); ++i) {
        if (!f(i, x, y)) return;
        x += kCellStepX;
        if (x + kCellWidth > w) {
            x = kCellLeft;
            y += kCellStepY;
            if (y > h) return;
        }
    }
}

// Swatch k (0..19) of a shade page. Rows end before a swatch would reach past the window or
// past the area where clicks pick, so every swatch shown can be picked.
std::pair<int, int> swatchPlace(const Shapes& sh, int k) {
    const int right = std::min(sh.surface.width() - 1, kPickRight);
    int x = kSwatchLeft, y = kSwatchTop;
    for (int i = 0; i < k; ++i) {
        x += kSwatchStepX;
        if (x + kSwatchWidth > right) {
            x = kSwatchLeft;
            y += kSwatchStepY;
        }
    }
    return {x, y};
}

// The drawing from before the editor. The file holds the same as the copy in memory while it
// is the one this window wrote; when it is not, the copy is this window's drawing.
void bringDrawingBack(Shapes& sh) {
    if (!sh.keptDrawing) {
        sh.platform->status("The drawing from before the colour editor could not be brought "
                            "back.");
        return;
    }
    const Surface& kept = *sh.keptDrawing;
    sh.surface.paint(kept, 0, 0, 0, 0, kept.width(), kept.height());
    if (!sh.keptFile) return; // never written: the open said so
    const Result<std::string> bytes = readFileStart(kDrawingKeptFile, sh.keptFile->size + 1);
    const std::string file = kDrawingKeptFile;
    if (!bytes)
        sh.platform->status(file + " could not be read back (" + bytes.error().message +
                            "); the drawing was brought back from memory.");
    else if (bytes->size() != sh.keptFile->size ||
             std::hash<std::string>{}(*bytes) != sh.keptFile->hash)
        sh.platform->status(file + " was changed by another program; the drawing was brought "
                                   "back from memory.");
}

// The scratch bitmap says it is ours in its header's reserved bytes, which readers ignore.
constexpr char kScratchMark[] = "VXsc";
constexpr size_t kScratchMarkAt = 6, kScratchMarkSize = 4;

bool ourScratch(const std::string& file) {
    const Result<std::string> start = readFileStart(file, kScratchMarkAt + kScratchMarkSize);
    return start && start->size() == kScratchMarkAt + kScratchMarkSize &&
           start->compare(0, 2, "BM") == 0 &&
           start->compare(kScratchMarkAt, kScratchMarkSize, kScratchMark) == 0 &&
           !readOnlyFile(file);
}

// A file of the scratch bitmap's name that this program did not write is the user's: it is
// moved aside, never replaced. An error when it cannot be.
Status clearScratchName(Shapes& sh) {
    const std::string file = kDrawingKeptFile;
    if (!nameTaken(file) || ourScratch(file)) return {};
    if (Status usable = regularOrAbsent(file); !usable) return usable;
    const Result<std::string> moved = renameToNewNumbered(file, "drawing1-yours", ".bmp");
    if (!moved)
        return fail("a file of that name is not this program's and could not be moved aside: " +
                    moved.error().message);
    sh.platform->status("Your " + file + " was moved to " + *moved +
                        ": the colour editor keeps the "
                        "drawing in " +
                        file + " while it is open.");
    return {};
}

// Writes the drawing the editor covers to the scratch bitmap, once.
void writeKeptFile(Shapes& sh) {
    if (!sh.keptDrawing || sh.keptFile) return;
    std::string bytes = encodeBmp24(*sh.keptDrawing);
    bytes.replace(kScratchMarkAt, kScratchMarkSize, kScratchMark, kScratchMarkSize);
    Status written = clearScratchName(sh);
    if (written) written = writeFileAtomically(kDrawingKeptFile, bytes, Durability::Scratch);
    if (written)
        sh.keptFile = Shapes::KeptFile{bytes.size(), std::hash<std::string>{}(bytes)};
    else
        sh.platform->status("The drawing is kept in memory only: " + std::string(kDrawingKeptFile) +
                            " could not be written (" + written.error().message + ").");
}

void noteListChange(Shapes& sh) {
    if (const std::string note = userColoursNote(sh); !note.empty())
        sh.platform->status(note.substr(1));
}

// Back on the list page after a colour was stored in the selected slot.
void storedColour(Shapes& sh) {
    State& st = sh.st;
    st.colormode4 = kListPage;
    sh.form.setVisible("options2", true);
    sh.form.setEnabled("white", true);
    sh.form.setEnabled("black", true);
    for (const char* l : kShadeLabels) sh.form.setVisible(l, false);
    paintEditorBackground(sh);
    showListButtons(sh);
    advance(st);
    drawcolors(sh);
    noteListChange(sh);
}

void drawSwatches(Shapes& sh, int code) {
    const ShadeTable* table = shadeTable(code);
    if (!table) return;
    for (int k = 0; k < 20; ++k) {
        const auto [x, y] = swatchPlace(sh, k);
        sh.surface.fillBox(x, y, x + kSwatchWidth, y + kSwatchHeight,
                           (*table)[static_cast<size_t>(k + 1)]);
    }
}

void storeNonColour(Shapes& sh, int32_t value) {
    State& st = sh.st;
    if (st.colormode4 != kListPage) return;
    slot(st, st.numsquare) = value;
    paintEditorBackground(sh);
    showListButtons(sh);
    advance(st, 64);
    drawcolors(sh);
    noteListChange(sh);
}

} // namespace

std::string userColoursNote(const Shapes& sh) {
    if (sh.st.tcolor2 == kListOn) return {};
    return " Another colour mode is on: choose Options > Color mode > \"User defined colors\" to "
           "draw with these colours.";
}

void paintEditorBackground(Shapes& sh) {
    // The whole window, also beyond 1000 pixels, where the list's cells go on.
    blankWindow(sh.surface, kWhite);
}

void showListPage(Shapes& sh) {
    for (const char* l : kShadeLabels) sh.form.setVisible(l, false);
    showListButtons(sh);
}

void repaintEditorPage(Shapes& sh) {
    const State& st = sh.st;
    if (st.colormode4 == kEditorClosed) return;
    // The palette pages show the background alone.
    paintEditorBackground(sh);
    if (st.colormode4 == kListPage) drawcolors(sh);
    if (st.colormode4 == kShadePage) drawSwatches(sh, static_cast<int>(st.anf));
}

void editcolorsClick(Shapes& sh) {
    State& st = sh.st;
    if (st.colormode4 != kEditorClosed) return;
    if (st.ssmode == kSaverMode) {
        st.abb2 = st.abb;
        st.dbb2 = st.dbb;
        st.awb2 = st.awb;
        st.bwb2 = st.bwb;
    }
    sh.keptDrawing.reset();
    sh.keptFile.reset();
    if (st.ssmode == kRegularMode || st.mpattern2 == kPatternKind) {
        // The drawing is kept in the file and in memory: the file may be changed by another
        // window or program in the same folder, the copy in memory is this window's own. The
        // file is written once the editor is on screen.
        sh.keptDrawing = sh.surface;
        sh.platform->later([&sh] { writeKeptFile(sh); });
    }
    st.numsquare = 1;
    advance(st);
    st.colormode4 = kListPage;
    sh.form.setEnabled("ssaver", false);
    sh.form.setEnabled("regmode", false);
    sh.form.setVisible("Picture1", false);
    hideOptionsPanel(sh);
    for (const char* m : kDrawingMenus) sh.form.setVisible(m, false);
    for (const char* m : {"cop", "cop2", "options2", "palettes"}) sh.form.setVisible(m, true);
    paintEditorBackground(sh);
    showListButtons(sh);
    drawcolors(sh);
}

void drawcolors(Shapes& sh) {
    State& st = sh.st;
    Surface& sf = sh.surface;
    // The list shows one empty slot after the filled ones, up to 64.
    bool full = true;
    for (int i = 1; i <= static_cast<int>(st.numcolors); ++i)
        if (slot(st, i) == 0) {
            full = false;
            break;
        }
    if (full && st.numcolors < 64) st.numcolors += 1;

    forEachCell(sh, [&](int i, int x, int y) {
        const int32_t v = slot(st, i);
        const int numberEnd =
            x + 2 +
            sh.platform->drawText(sf, x + 2, y + 3, "(" + std::to_string(i) + "):", kTextColour);
        // A code's label keeps clear of a number wider than the grid was made for.
        if (const Chooser* c = chooser(v))
            sh.platform->drawText(sf, std::max(x + c->cellDx, numberEnd + 2), y + 3, c->cellText,
                                  kTextColour);
        else
            sf.fillBox(x + 32, y, x + 52, y + 20, v > 0 ? v : kWhite);
        sf.box(x, y - 2, x + kCellWidth, y + 22, qbColor(0));
        if (i == st.numsquare) sf.box(x, y - 2, x + kCellWidth, y + 22, qbColor(12));
        return true;
    });

    // A palette is worth saving once the list holds a colour.
    if (sh.form.enabled("scolor") && st.numsquare <= 1) sh.form.setEnabled("scolor", false);
    if (!sh.form.enabled("scolor") && st.numsquare > 1) sh.form.setEnabled("scolor", true);
}

void editorMouseDown(Shapes& sh, int, double x, double y) {
    State& st = sh.st;
    if (st.colormode4 == kListPage) {
        forEachCell(sh, [&](int i, int cx, int cy) {
            if (x < cx || x > cx + kCellWidth || y < cy - 2 || y > cy + 22) return true;
            st.numsquare = i;
            drawcolors(sh);
            return false;
        });
        return;
    }
    if (st.colormode4 != kShadePage) return;
    const int32_t c = sh.surface.pixel(toInt32(x), toInt32(y));
    if (c == 0 || c == kBorder || c == kWhite || c < 0) return;
    if (x < kPickLeft || x > kPickRight || y < kPickTop || y > kPickBottom) return;
    slot(st, st.numsquare) = c;
    storedColour(sh);
}

void chooseShade(Shapes& sh, int code) {
    State& st = sh.st;
    const Chooser* c = chooser(code);
    if (!c || st.colormode4 == kEditorClosed || st.colormode4 > kShadePage) return;
    st.anf = code;
    if (sh.form.visible(c->label)) return;
    sh.form.setVisible("options2", false);
    sh.form.setEnabled("white", false);
    sh.form.setEnabled("black", false);
    st.colormode4 = kShadePage;
    for (const char* l : kShadeLabels) sh.form.setVisible(l, false);
    for (const char* n : {"Label6", "Command8", "Command2", "Command9", "Command10"})
        sh.form.setVisible(n, false);
    paintEditorBackground(sh);
    sh.form.setVisible(c->label, true);
    drawSwatches(sh, code);
    // Under the swatches: a random shade of this hue, drawn afresh for every drawing.
    sh.form.setVisible("Command11", true);
}

void whiteClick(Shapes& sh) {
    storeNonColour(sh, kStoredWhite);
}

void blackClick(Shapes& sh) {
    storeNonColour(sh, kListBlack);
}

void command2Click(Shapes& sh) {
    State& st = sh.st;
    if (!(st.numcolors > 1 && st.numsquare != st.numcolors)) return;
    const size_t gone = static_cast<size_t>(st.numsquare);
    if (gone >= 1 && gone <= 101) {
        std::vector<int32_t> rest;
        for (size_t i = 1; i <= 101; ++i)
            if (i != gone) rest.push_back(st.colorlist[i]);
        for (size_t i = 1; i <= 100; ++i) st.colorlist[i] = rest[i - 1];
    }
    st.numcolors -= 1;
    while (st.numsquare != st.numcolors && st.numsquare < kLastSlot && slot(st, st.numsquare) != 0)
        st.numsquare += 1;
    paintEditorBackground(sh);
    drawcolors(sh);
}

void command8Click(Shapes& sh) {
    State& st = sh.st;
    st.numsquare = 1;
    st.numcolors = 1;
    for (size_t i = 1; i <= 100; ++i) st.colorlist[i] = 0;
    paintEditorBackground(sh);
    drawcolors(sh);
}

void command9Click(Shapes& sh) {
    State& st = sh.st;
    if (!(st.numsquare > 1 && slot(st, st.numsquare) != 0)) return;
    std::swap(slot(st, st.numsquare - 1), slot(st, st.numsquare));
    paintEditorBackground(sh);
    st.numsquare -= 1;
    drawcolors(sh);
}

void command10Click(Shapes& sh) {
    State& st = sh.st;
    if (!(st.numsquare < st.numcolors && slot(st, st.numsquare) != 0 &&
          slot(st, st.numsquare + 1) != 0))
        return;
    std::swap(slot(st, st.numsquare), slot(st, st.numsquare + 1));
    paintEditorBackground(sh);
    st.numsquare += 1;
    drawcolors(sh);
}

void command11Click(Shapes& sh) {
    State& st = sh.st;
    if (st.colormode4 != kShadePage || !chooser(static_cast<int>(st.anf))) return;
    slot(st, st.numsquare) = static_cast<int32_t>(st.anf);
    storedColour(sh);
}

void quit2Click(Shapes& sh) {
    State& st = sh.st;
    if (st.colormode4 == kEditorClosed) return;
    auto placeKept = [&] {
        sh.form.move("Picture1", toInt32(st.abb2), toInt32(st.dbb2));
        st.abb = st.abb2;
        st.dbb = st.dbb2;
        st.awb = st.awb2;
        st.bwb = st.bwb2;
    };
    if (st.ssmode == kSaverMode) placeKept();
    st.colormode4 = kEditorClosed;
    sh.form.setEnabled("ssaver", true);
    sh.form.setEnabled("regmode", true);
    if (st.ssmode == kSaverMode && st.mpattern2 == kShapeKind) sh.form.setVisible("Picture1", true);
    for (const char* n : {"Label1", "Text1", "Label4", "Text4"}) sh.form.setVisible(n, false);
    for (const char* n : {"cop", "cop2", "options2", "Label6", "Command11", "Command8", "Command2",
                          "Command9", "Command10"})
        sh.form.setVisible(n, false);
    for (const char* m : kDrawingMenus) sh.form.setVisible(m, true);
    if (st.ssmode == kRegularMode) showOptionsPanel(sh);
    if (st.ssmode == kSaverMode) {
        // The screen-saver timers start afresh.
        const int period = sh.form.get("Timer1").interval;
        sh.form.setEnabled("Timer1", false);
        sh.form.setEnabled("Timer2", false);
        sh.form.setInterval("Timer1", period);
        sh.form.setEnabled("Timer1", true);
    }
    if (st.ssmode == kRegularMode || st.mpattern2 == kPatternKind) bringDrawingBack(sh);
    sh.keptDrawing.reset();
    sh.keptFile.reset();
    if (st.ssmode == kSaverMode && st.mpattern2 == kShapeKind) {
        centrePicture1(sh);
        blankWindow(sh.surface, kBorder);
    }
    if (st.ssmode == kSaverMode) placeKept();
}

} // namespace vx
