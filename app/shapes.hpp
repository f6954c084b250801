#pragma once
// The one window object: the state, the form model, the window surface and the shape picture,
// the random source and the desktop. Every handler is a free function over it.
#include "model/drawing.hpp"
#include "model/history.hpp"
#include "model/randomsettings.hpp"
#include "model/state.hpp"
#include "platform/platform.hpp"
#include "surface/numeric.hpp"
#include "surface/surface.hpp"
#include "ui/form.hpp"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vx {

struct VariationPage;

// How far start-up has come.
enum StartPhase : int {
    kNotStarted = 0,
    kPreparing = 1, // start values, settings, the first main-page pattern
    kMainPage = 2,  // a new pattern every 5 s under "Begin"
    kFirstDrawing = 3,
    kMainLoop = 4,
};

struct FavouritesPage;
struct FavouritesExport;

struct Shapes {
    Shapes();
    explicit Shapes(Platform& p);
    ~Shapes();
    Shapes(const Shapes&) = delete;
    Shapes& operator=(const Shapes&) = delete;

    State st;
    ui::Form form;
    Surface surface{792, 552};
    Surface picture1{201, 161, kPictureBack};
    // The import page's sampling box.
    Surface picture2{305, 225, kWhite};
    Random rng;
    Platform* platform;

    // Start-up recast for an event loop: how far it has come; the main-loop pass that waits
    // for the slow-animation tick (and for how many frames it has waited); the pacing of the
    // passes; where the passes last placed the moving picture.
    struct Loop {
        int phase = kNotStarted;
        bool waiting = false;
        int waitTicks = 0;
        double lastFrame = 0, credit = 0;
        double placeX = 0, placeY = 0;
        bool placed = false;
    } loop;
    // "Quit" was chosen: a drawing that lets events run stops there.
    bool quitting = false;
    // The drawing the colour editor covers, besides its file; and the size and hash of the
    // file's bytes once this window has written it, to tell its own file from another's.
    std::optional<Surface> keptDrawing;
    struct KeptFile {
        size_t size = 0, hash = 0;
    };
    std::optional<KeptFile> keptFile;
    // Where the drawing on screen was saved ("pattern3.bmp in /home/u/art"), for a second "S",
    // and the file's name, to save again should the file be gone.
    std::string savedAs, savedFile;
    // The session's drawings, as codes.
    History history;
    // The drawing on screen, at the size it was last shown at, to show again at a new size.
    std::optional<Drawing> lastDrawing;
    // The status line has said once where a drawing's code is copied from.
    bool codeHintShown = false;
    // "Create random shape(s)" is drawing; a second click meanwhile is not obeyed.
    bool command1Running = false;
    // A page is on its way to the printer while events run; a second print waits its turn.
    bool printing = false;
    // "Random settings": a random source of its own, so that the drawings' seeds stay theirs,
    // and the locks, read from their file when first needed.
    std::optional<Random> exploreRng;
    std::optional<SettingLocks> locks;
    // The favourites page while it covers the drawing, and "Export all..." while it runs.
    std::unique_ptr<FavouritesPage> favouritesPage;
    std::unique_ptr<FavouritesExport> favouritesExport;
    // The screen saver's favourites, shown in turn, and the one that comes next.
    std::vector<Drawing> saverFavourites;
    size_t nextFavourite = 0;
    // The variations page while it covers the drawing (app/variationpage.hpp), and the kind of
    // variation it showed last.
    std::shared_ptr<VariationPage> variationPage;
    int variationKind = 0;

    // The colour editor, the favourites or the variations cover the drawing: one page at a time,
    // and nothing draws under it.
    bool pageOpen() const {
        return st.colormode4 != kEditorClosed || favouritesPage || variationPage;
    }

    // The number in a field (leading number, blanks ignored, none gives 0).
    double field(const std::string& name) const { return fieldNumber(form.text(name)); }
    void setField(const std::string& name, double v) { form.setText(name, numberText(v)); }

  private:
    Platform headless_;
};

} // namespace vx
