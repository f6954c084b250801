#include "app/favourites.hpp"

#include "app/events.hpp"
#include "app/favstore.hpp"
#include "app/generators.hpp"
#include "app/history.hpp"
#include "app/panel.hpp"
#include "model/code.hpp"

#include <algorithm>

namespace vx {

namespace {

constexpr int32_t kPageBack = 0xFFFFFF, kText = 0, kFrame = 0x808080, kWaiting = 0xE0E0E0;
constexpr int32_t kMark = 0x0000FF; // red
constexpr int kKeyEnter = 13, kKeyEscape = 27, kKeyPageUp = 33, kKeyPageDown = 34, kKeyEnd = 35,
              kKeyHome = 36, kKeyDelete = 46;
// The page's menu: shown alone while the page is open.
constexpr const char* kPageMenu = "favpage";

struct Grid {
    int cols = 1, rows = 1, cellW = 0, cellH = 0;
};

Grid gridOf(const Shapes& sh) {
    const FavouritesPage& p = *sh.favouritesPage;
    Grid g;
    g.cellW = p.thumbWidth + kFavGap;
    g.cellH = p.thumbHeight + kFavCaption + 8;
    g.cols = std::max(1, (sh.surface.width() - kFavLeft) / g.cellW);
    g.rows = std::max(1, (sh.surface.height() - kFavTop) / g.cellH);
    return g;
}

// The thumbnails' box follows the window's shape: a pattern fills it.
void fitThumbnails(Shapes& sh) {
    FavouritesPage& p = *sh.favouritesPage;
    const int w = kFavThumbWidth;
    const int h = std::clamp(w * sh.surface.height() / std::max(1, sh.surface.width()), 48, w);
    if (w == p.thumbWidth && h == p.thumbHeight) return;
    p.thumbWidth = w;
    p.thumbHeight = h;
    p.thumbnails.clear();
}

// The range of entries in view.
std::pair<size_t, size_t> shown(const Shapes& sh) {
    const FavouritesPage& p = *sh.favouritesPage;
    const Grid g = gridOf(sh);
    const size_t first = static_cast<size_t>(p.top) * static_cast<size_t>(g.cols);
    const size_t end = first + static_cast<size_t>(g.cols) * static_cast<size_t>(g.rows);
    return {std::min(first, p.entries.size()), std::min(end, p.entries.size())};
}

std::string shortDate(const std::string& date) {
    // 2025-03-14T16:09:26+0100 as 2025-03-14 16:09
    std::string s = date.substr(0, 16);
    if (s.size() > 10 && s[10] == 'T') s[10] = ' ';
    return s;
}

void drawCell(Shapes& sh, size_t i) {
    FavouritesPage& p = *sh.favouritesPage;
    const Grid g = gridOf(sh);
    const int row = static_cast<int>(i) / g.cols - p.top, col = static_cast<int>(i) % g.cols;
    if (row < 0 || row >= g.rows) return;
    Surface& sf = sh.surface;
    const int x = kFavLeft + col * g.cellW + 4, y = kFavTop + row * g.cellH + 4;
    const int w = p.thumbWidth, h = p.thumbHeight;
    sf.fillBox(x - 4, y - 4, x + w + 3, y + h + kFavCaption + 3, kPageBack);
    sf.fillBox(x, y, x + w - 1, y + h - 1, kWaiting);
    const auto t = p.thumbnails.find(p.entries[i].id);
    if (t != p.thumbnails.end())
        sf.paint(t->second, x + (w - t->second.width()) / 2, y + (h - t->second.height()) / 2, 0, 0,
                 t->second.width(), t->second.height());
    sf.box(x - 1, y - 1, x + w, y + h, kFrame);
    if (static_cast<int>(i) == p.selected) {
        sf.box(x - 3, y - 3, x + w + 2, y + h + 2, kMark);
        sf.box(x - 2, y - 2, x + w + 1, y + h + 1, kMark);
    }
    sh.platform->drawText(sf, x, y + h + 5, shortDate(p.entries[i].date), kText);
}

// A thin bar at the right edge: where the rows in view are among all the rows.
void drawScrollBar(Shapes& sh) {
    const FavouritesPage& p = *sh.favouritesPage;
    const Grid g = gridOf(sh);
    const int allRows = static_cast<int>((p.entries.size() + g.cols - 1) / g.cols);
    if (allRows <= g.rows) return;
    Surface& sf = sh.surface;
    const int x = sf.width() - 6, top = kFavTop, height = sf.height() - kFavTop - 4;
    sf.fillBox(x, top, x + 3, top + height, kWaiting);
    const int y0 = top + height * p.top / allRows;
    const int y1 = top + height * std::min(allRows, p.top + g.rows) / allRows;
    sf.fillBox(x, y0, x + 3, y1, kFrame);
}

// Asks the workers for the thumbnails in view that are not made yet, and forgets those far
// out of view, so that a long list keeps little in memory.
void askForThumbnails(Shapes& sh) {
    FavouritesPage& p = *sh.favouritesPage;
    const auto [first, end] = shown(sh);
    const size_t reach = 2 * (end - first) + 1;
    const size_t lo = first > reach ? first - reach : 0,
                 hi = std::min(p.entries.size(), end + reach);
    std::map<uint64_t, Surface> near;
    for (size_t i = lo; i < hi; ++i)
        if (auto t = p.thumbnails.find(p.entries[i].id); t != p.thumbnails.end())
            near.insert(p.thumbnails.extract(t));
    p.thumbnails.swap(near);
    std::vector<ThumbnailWorkers::Job> jobs;
    for (size_t i = first; i < end; ++i) {
        if (p.thumbnails.count(p.entries[i].id)) continue;
        Drawing d = p.entries[i].drawing;
        d.width = sh.surface.width();
        d.height = sh.surface.height();
        jobs.push_back({p.entries[i].id, std::move(d), p.thumbWidth, p.thumbHeight});
    }
    const bool any = !jobs.empty();
    p.workers.want(std::move(jobs));
    if (any) sh.form.setEnabled(kFavouritesTimer, true);
}

void drawPage(Shapes& sh) {
    FavouritesPage& p = *sh.favouritesPage;
    fitThumbnails(sh);
    Surface& sf = sh.surface;
    sf.fillBox(0, 0, sf.width(), sf.height(), kPageBack);
    const size_t n = p.entries.size();
    sh.platform->drawText(sf, kFavLeft, 6,
                          "Favourites: " + std::to_string(n) + (n == 1 ? "" : ", the newest first"),
                          kText);
    sh.platform->drawText(sf, kFavLeft, 24,
                          n == 0 ? "None yet: \"Add to favourites\" (Ctrl+D) keeps the drawing on "
                                   "screen. Escape goes back."
                                 : "A click opens one. A right click or the arrow keys mark one: "
                                   "Enter opens it, Delete removes it. Escape goes back.",
                          kText);
    const auto [first, end] = shown(sh);
    for (size_t i = first; i < end; ++i) drawCell(sh, i);
    drawScrollBar(sh);
    askForThumbnails(sh);
}

// Marks entry i, scrolling it into view, and draws the page.
void mark(Shapes& sh, int i) {
    FavouritesPage& p = *sh.favouritesPage;
    fitThumbnails(sh);
    if (!p.entries.empty()) {
        p.selected = std::clamp(i, 0, static_cast<int>(p.entries.size()) - 1);
        const Grid g = gridOf(sh);
        const int row = p.selected / g.cols;
        if (row < p.top) p.top = row;
        if (row >= p.top + g.rows) p.top = row - g.rows + 1;
    }
    drawPage(sh);
}

// The entry under a point of the window, or -1.
int entryAt(const Shapes& sh, double x, double y) {
    const FavouritesPage& p = *sh.favouritesPage;
    const Grid g = gridOf(sh);
    if (x < kFavLeft || y < kFavTop) return -1;
    const int col = static_cast<int>((x - kFavLeft) / g.cellW);
    const int row = static_cast<int>((y - kFavTop) / g.cellH);
    if (col >= g.cols || row >= g.rows) return -1;
    const size_t i = static_cast<size_t>(p.top + row) * static_cast<size_t>(g.cols) + col;
    return i < p.entries.size() ? static_cast<int>(i) : -1;
}

void showPageMenus(Shapes& sh, bool page) {
    for (const char* m : kDrawingMenus) sh.form.setVisible(m, !page);
    for (const char* item : {kPageMenu, "favexport", "favdelete", "favback"})
        sh.form.setVisible(item, page);
}

std::vector<FavouriteEntry> entriesOf(const FavouritesText& f) {
    std::vector<FavouriteEntry> out;
    for (size_t i = f.lines.size(); i-- > 0;) {
        const FavouriteLine& l = f.lines[i];
        if (l.damaged()) continue;
        Result<Drawing> d = decodeDrawing(l.code);
        if (d) out.push_back({i, l.text, l.code, l.date, std::move(*d)});
    }
    return out;
}

void sayDamage(Shapes& sh, const FavouritesText& f, const std::string& file) {
    if (f.damaged == 1)
        sh.platform->warn("1 line of " + file +
                          " could not be read as a favourite; the file keeps it as it is.");
    else if (f.damaged > 1)
        sh.platform->warn(std::to_string(f.damaged) + " lines of " + file +
                          " could not be read as favourites; the file keeps them as they are.");
}

} // namespace

void addFavouriteClick(Shapes& sh) {
    if (!sh.lastDrawing || sh.st.bbmv == kShownNothing) {
        sh.platform->status("Nothing has been drawn yet, so there is nothing to keep.");
        return;
    }
    const std::string code = drawingCode(*sh.lastDrawing);
    if (const Result<Drawing> d = decodeDrawing(code); !d) {
        sh.platform->status("This drawing cannot be kept as a favourite. " + d.error().message);
        return;
    }
    const std::string file = favouritesPath();
    if (file.empty()) {
        sh.platform->status("No home folder is known, so favourites cannot be kept.");
        return;
    }
    FavouritesText now;
    const Result<bool> added = addFavourite(file, favouriteLine(code, favouriteDate()), &now);
    if (!added) {
        sh.platform->status("The drawing was not added to the favourites: " +
                            added.error().message + ". The favourites are as they were.");
        return;
    }
    sayDamage(sh, now, file);
    const size_t n = now.lines.size() - static_cast<size_t>(now.damaged);
    sh.platform->status((*added ? "Added to the favourites (" : "Already a favourite (") +
                        std::to_string(n) + " in all): Drawing " + code + ".");
}

void favouritesClick(Shapes& sh) {
    if (sh.pageOpen()) return;
    if (sh.st.ssmode == kSaverMode || sh.printing || sh.command1Running) {
        sh.platform->status(sh.st.ssmode == kSaverMode
                                ? "The favourites open in Regular mode: choose Options > Regular "
                                  "mode first."
                                : "The favourites open once the drawing or printing is done.");
        return;
    }
    const std::string file = favouritesPath();
    Result<FavouritesText> f = file.empty()
                                   ? Result<FavouritesText>(fail("no home folder is known"))
                                   : readFavourites(file);
    if (!f) {
        sh.platform->status("The favourites could not be opened: " + f.error().message + ".");
        return;
    }
    sh.favouritesPage = std::make_unique<FavouritesPage>();
    FavouritesPage& p = *sh.favouritesPage;
    p.entries = entriesOf(*f);
    p.kept = sh.surface;
    p.panelShown = sh.form.visible("Label2");
    hideOptionsPanel(sh);
    showPageMenus(sh, true);
    drawPage(sh);
    sayDamage(sh, *f, file);
    sh.platform->status(p.entries.empty() ? "There are no favourites yet."
                                          : "Favourites: " + std::to_string(p.entries.size()) +
                                                " in " + file + ".");
}

void closeFavourites(Shapes& sh) {
    if (!sh.favouritesPage) return;
    const std::unique_ptr<FavouritesPage> p = std::move(sh.favouritesPage);
    const Surface& kept = p->kept;
    if (kept.width() == sh.surface.width() && kept.height() == sh.surface.height())
        sh.surface.paint(kept, 0, 0, 0, 0, kept.width(), kept.height());
    else if (!reshowDrawing(sh))
        sh.surface.fillBox(0, 0, sh.surface.width(), sh.surface.height(), kBorder);
    if (p->panelShown) showOptionsPanel(sh);
    showPageMenus(sh, false);
    if (!sh.favouritesExport) sh.form.setEnabled(kFavouritesTimer, false);
}

void openFavourite(Shapes& sh, size_t index) {
    if (!sh.favouritesPage || index >= sh.favouritesPage->entries.size()) return;
    const FavouriteEntry e = sh.favouritesPage->entries[index];
    closeFavourites(sh);
    showDrawing(sh, e.drawing, true);
    sh.platform->status("The favourite of " + shortDate(e.date) + ". " + sh.platform->lastStatus);
}

void deleteFavouriteClick(Shapes& sh) {
    if (!sh.favouritesPage || sh.favouritesPage->entries.empty()) return;
    FavouritesPage& p = *sh.favouritesPage;
    const FavouriteEntry e = p.entries[static_cast<size_t>(p.selected)];
    const Result<bool> removed = removeFavourite(favouritesPath(), e.line);
    if (!removed) {
        sh.platform->status("The favourite was not removed: " + removed.error().message + ".");
        return;
    }
    p.entries.erase(p.entries.begin() + p.selected);
    p.thumbnails.erase(e.id);
    p.selected = std::min(p.selected, std::max(0, static_cast<int>(p.entries.size()) - 1));
    mark(sh, p.selected);
    sh.platform->status(std::string(*removed ? "Removed" : "Another window had removed") +
                        " the favourite of " + shortDate(e.date) + " (Drawing " + e.code + ").");
}

void favouritesMouseDown(Shapes& sh, int button, double x, double y) {
    const int i = entryAt(sh, x, y);
    if (i < 0) return;
    if (button == 1)
        openFavourite(sh, static_cast<size_t>(i));
    else
        mark(sh, i);
}

bool favouritesKeyDown(Shapes& sh, int key) {
    FavouritesPage& p = *sh.favouritesPage;
    const Grid g = gridOf(sh);
    const int page = g.cols * g.rows, last = static_cast<int>(p.entries.size()) - 1;
    switch (key) {
    case kKeyEscape:
        closeFavourites(sh);
        break;
    case kKeyEnter:
        openFavourite(sh, static_cast<size_t>(p.selected));
        break;
    case kKeyDelete:
        deleteFavouriteClick(sh);
        break;
    case kKeyLeft:
        mark(sh, p.selected - 1);
        break;
    case kKeyRight:
        mark(sh, p.selected + 1);
        break;
    case kKeyUp:
        mark(sh, p.selected - g.cols);
        break;
    case kKeyDown:
        mark(sh, p.selected + g.cols);
        break;
    case kKeyPageUp:
        mark(sh, p.selected - page);
        break;
    case kKeyPageDown:
        mark(sh, p.selected + page);
        break;
    case kKeyHome:
        mark(sh, 0);
        break;
    case kKeyEnd:
        mark(sh, last);
        break;
    default:
        break;
    }
    return true;
}

void favouritesWheel(Shapes& sh, int rows) {
    if (!sh.favouritesPage) return;
    FavouritesPage& p = *sh.favouritesPage;
    const Grid g = gridOf(sh);
    const int allRows = static_cast<int>((p.entries.size() + g.cols - 1) / g.cols);
    const int top = std::clamp(p.top + rows, 0, std::max(0, allRows - g.rows));
    if (top == p.top) return;
    p.top = top;
    // The mark stays in view.
    p.selected =
        std::clamp(p.selected, top * g.cols,
                   std::min((top + g.rows) * g.cols, static_cast<int>(p.entries.size())) - 1);
    drawPage(sh);
}

void repaintFavourites(Shapes& sh) {
    if (sh.favouritesPage) mark(sh, sh.favouritesPage->selected);
}

namespace {

// Finished thumbnails into their cells; a thumbnail of a box the page no longer has is dropped.
void takeThumbnails(Shapes& sh) {
    FavouritesPage& p = *sh.favouritesPage;
    const auto [first, end] = shown(sh);
    for (ThumbnailWorkers::Done& d : p.workers.takeDone()) {
        if (d.thumbnail.width() == 0) continue;
        if (d.thumbnail.width() > p.thumbWidth || d.thumbnail.height() > p.thumbHeight) continue;
        p.thumbnails[d.id] = std::move(d.thumbnail);
        for (size_t i = first; i < end; ++i)
            if (p.entries[i].id == d.id) drawCell(sh, i);
    }
}

} // namespace

void favouritesTick(Shapes& sh) {
    if (sh.favouritesPage) takeThumbnails(sh);
    const bool exporting = noteExportProgress(sh);
    if (!exporting && (!sh.favouritesPage || !sh.favouritesPage->workers.busy()))
        sh.form.setEnabled(kFavouritesTimer, false);
}

void waitForFavourites(Shapes& sh) {
    if (sh.favouritesPage) sh.favouritesPage->workers.waitUntilIdle();
    if (sh.favouritesExport && sh.favouritesExport->thread.joinable())
        sh.favouritesExport->thread.join();
    favouritesTick(sh);
}

} // namespace vx
