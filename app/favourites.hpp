#pragma once
// Favourites: "Add to favourites" keeps the drawing on screen; "Favourites..." shows them all
// as thumbnails over the drawing area (the newest first) and gives the area back as it was;
// "Export all..." writes each as a PNG file; the screen saver may show them in turn.
#include "app/shapes.hpp"
#include "app/thumbnails.hpp"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vx {

// The page: a line of text, then the grid of thumbnails with their dates.
constexpr int kFavLeft = 8, kFavTop = 48, kFavThumbWidth = 192, kFavGap = 16, kFavCaption = 24;

struct FavouriteEntry {
    uint64_t id = 0;
    std::string line; // as the file has it
    std::string code, date;
    Drawing drawing;
};

struct FavouritesPage {
    std::vector<FavouriteEntry> entries; // the newest first
    Surface kept;                        // the drawing area as the page found it
    bool panelShown = false;
    int top = 0;      // the first row shown
    int selected = 0; // the marked entry
    int thumbWidth = 0, thumbHeight = 0;
    std::map<uint64_t, Surface> thumbnails;
    ThumbnailWorkers workers;
};

// "Export all..." at work on a thread of its own.
struct FavouritesExport {
    std::thread thread;
    std::atomic<int> written{0};
    std::atomic<bool> stop{false}, finished{false};
    int total = 0;
    int said = -1; // the count the status line shows
    std::string folder;
    std::mutex m; // guards the three below
    std::string first, last, error;
    ~FavouritesExport();
};

// The name of the page's timer, which takes in finished thumbnails and the export's progress.
constexpr const char* kFavouritesTimer = "favtimer";

void addFavouriteClick(Shapes& sh);
void favouritesClick(Shapes& sh);
// Escape, "Back to the drawing": the drawing area as it was.
void closeFavourites(Shapes& sh);
// Click, Enter: the favourite shown as the drawing on screen (it enters the history).
void openFavourite(Shapes& sh, size_t index);
// Delete: the marked favourite removed from the file.
void deleteFavouriteClick(Shapes& sh);
void exportFavouritesClick(Shapes& sh);

// The page's mouse, keys (true: used up) and wheel, the timer, and a window of a new size.
void favouritesMouseDown(Shapes& sh, int button, double x, double y);
bool favouritesKeyDown(Shapes& sh, int key);
void favouritesWheel(Shapes& sh, int rows);
void favouritesTick(Shapes& sh);
void repaintFavourites(Shapes& sh);
// The export's progress said in the status line, and its end; false when none runs any more.
bool noteExportProgress(Shapes& sh);
// Waits for the thumbnails in view and the export, then takes them in (tests, benchmarks).
void waitForFavourites(Shapes& sh);

// The screen saver: the favourites that can be read, the newest first; false, with why on
// stderr when `say`, when there are none.
bool loadSaverFavourites(Shapes& sh, bool say);
// The next favourite in turn, from its own seed and settings.
void showNextFavourite(Shapes& sh);
// The favourite on screen again (a window of a new size); false when there is none.
bool showFavouriteAgain(Shapes& sh);

} // namespace vx
