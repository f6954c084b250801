// Every handler of the program, under the name of the control, menu item or timer it serves.
#include "app/colourmenu.hpp"
#include "app/editor.hpp"
#include "app/events.hpp"
#include "app/explore.hpp"
#include "app/export.hpp"
#include "app/favourites.hpp"
#include "app/fields.hpp"
#include "app/history.hpp"
#include "app/import.hpp"
#include "app/keys.hpp"
#include "app/modes.hpp"
#include "app/output.hpp"
#include "app/palettemenu.hpp"
#include "app/palettes.hpp"
#include "app/panel.hpp"
#include "app/settings.hpp"
#include "app/startup.hpp"
#include "app/switches.hpp"
#include "app/variationpage.hpp"

namespace vx {

namespace {

// The on/off pairs of "Auto-save" and "Auto-print": remembered, driving nothing.
void setSwitch(Shapes& sh, double& member, const char* on, const char* off, bool value) {
    member = value ? 1 : 0;
    sh.form.setChecked(on, value);
    sh.form.setChecked(off, !value);
}

// The favourites and variations pages, while one is open, take the window's mouse and keys.
void windowMouseDown(Shapes& sh, int button, double x, double y) {
    if (sh.favouritesPage)
        favouritesMouseDown(sh, button, x, y);
    else if (sh.variationPage)
        variationsMouseDown(sh, button, x, y);
    else
        editorMouseDown(sh, button, x, y);
}

bool windowKeyDown(Shapes& sh, int key) {
    if (sh.favouritesPage) return favouritesKeyDown(sh, key);
    return sh.variationPage ? variationsKey(sh, key) : printSaveKey(sh, key);
}

// "Explore": steering the drawing, and the favourites with their page.
void registerExplore(Events& e) {
    e.onClick("randomsettings", randomSettingsClick);
    e.onClick("locksettings", lockSettingsClick);
    e.onClick("addfavourite", addFavouriteClick);
    e.onClick("favourites", favouritesClick);
    e.onClick("favexport", exportFavouritesClick);
    e.onClick("favdelete", deleteFavouriteClick);
    e.onClick("favback", closeFavourites);
    e.onClick(kFavouritesTimer, favouritesTick);
    e.onWheel(favouritesWheel);
}

void registerAll(Events& e) {
    // Start-up, the options panel and the style switches.
    e.onClick("Command4", command4Click);
    e.onClick("Timer6", timer6Tick);
    e.onClick("Command1", command1Click);
    e.onClick("Option1", option1Click);
    e.onClick("Option2", option2Click);
    e.onClick("csingle", csingleClick);
    e.onClick("cpattern", cpatternClick);
    for (const FieldSpec* f : kAllFields)
        if (f->cap > 0)
            e.onKeyUp(f->name, [f](Shapes& sh, int) {
                capField(sh, *f);
                return false;
            });
    e.onKeyDown("Text4", [](Shapes& sh, int key) {
        text4KeyDown(sh, key);
        return false;
    });

    // Run modes, their timers, the animation speed, quitting.
    e.onClick("ssaver", ssaverClick);
    e.onClick("regmode", regmodeClick);
    e.onClick("tslow", tslowClick);
    e.onClick("tfast", tfastClick);
    e.onClick("Timer1", timer1Tick);
    e.onClick("Timer2", timer2Tick);
    e.onClick("quit", quitClick);

    // Colour modes.
    e.onClick("bcolor7", bcolor7Click);
    e.onClick("tcolor7", tcolor7Click);
    e.onClick("ucolors", ucolorsClick);

    // The colour editor and its palette pages.
    e.onClick("editcolors", editcolorsClick);
    e.onMouseDown(windowMouseDown);
    for (auto [item, code] : {std::pair{"blue", -1},
                              {"red", -2},
                              {"green", -3},
                              {"purple", -4},
                              {"yellow", -5},
                              {"brown", -6},
                              {"bwg", -7}})
        e.onClick(item, [code = code](Shapes& sh) { chooseShade(sh, code); });
    e.onClick("white", whiteClick);
    e.onClick("black", blackClick);
    e.onClick("Command2", command2Click);
    e.onClick("Command8", command8Click);
    e.onClick("Command9", command9Click);
    e.onClick("Command10", command10Click);
    e.onClick("Command11", command11Click);
    e.onClick("quit2", quit2Click);
    e.onClick("scolor", scolorClick);
    e.onClick("lcolor", lcolorClick);
    e.onClick("File3", file3Click);
    e.onClick("File2", file2Click);
    e.onClick("Command12", command12Click);
    e.onClick("Command13", command13Click);

    // The drawings of the session.
    e.onClick("prevdrawing", previousDrawingClick);
    e.onClick("nextdrawing", nextDrawingClick);
    e.onClick("copycode", copyCodeClick);
    e.onClick("gotocode", goToCodeClick);

    // The drawing on screen as files at full quality.
    e.onClick("exportsvg", exportSvgClick);
    e.onClick("exportpdf", exportPdfClick);
    e.onClick("poster", posterClick);
    e.onClick("wallpaper", wallpaperClick);
    e.onClick("recordvideo", recordVideoClick);

    // The import page.
    e.onClick("impcolor", impcolorClick);
    e.onClick("File1", file1Click);
    e.onClick("Command6", command6Click);
    e.onClick("Command7", command7Click);

    // "P" and "S" wherever the keyboard focus is.
    e.onKeyDown(Events::kWindow, windowKeyDown);
    for (const char* name : {"Command1", "Option1", "Option2"}) e.onKeyDown(name, printSaveKey);
    for (const char* name : {"Text2", "Text3", "Text5", "Text9", "Text10"})
        e.onKeyDown(name, [field = std::string(name)](Shapes& sh, int key) {
            return printSaveFieldKey(sh, field, key);
        });

    // Saving, printing and the settings file.
    e.onClick("sscreen", [](Shapes& sh) { saveDrawing(sh); });
    e.onClick("pscreen", [](Shapes& sh) { printScreen(sh); });
    e.onClick("saveon", [](Shapes& sh) { setSwitch(sh, sh.st.asavex, "saveon", "saveoff", true); });
    e.onClick("saveoff",
              [](Shapes& sh) { setSwitch(sh, sh.st.asavex, "saveon", "saveoff", false); });
    e.onClick("printon",
              [](Shapes& sh) { setSwitch(sh, sh.st.aprintx, "printon", "printoff", true); });
    e.onClick("printoff",
              [](Shapes& sh) { setSwitch(sh, sh.st.aprintx, "printon", "printoff", false); });
    // A failure is already in the status line.
    e.onClick("savesettings", [](Shapes& sh) { (void)saveSettings(sh); });
    e.onClick("restored", restoreDefaults);
}

// Steering the drawing: new colours, and the variations page.
void registerSteering(Events& e) {
    e.onClick("newcolours", newColoursClick);
    e.onClick("variations", variationsClick);
    e.onClick("varcolours", [](Shapes& sh) { variationKindClick(sh, VariationKind::Colours); });
    e.onClick("varseeds", [](Shapes& sh) { variationKindClick(sh, VariationKind::Seeds); });
    e.onClick("varsettings", [](Shapes& sh) { variationKindClick(sh, VariationKind::Settings); });
    e.onClick("varmore", varmoreClick);
    e.onClick("varback", varbackClick);
    for (const char* name : {"varcolours", "varseeds", "varsettings", "varmore", "varback"})
        e.onKeyDown(name, variationsKey);
}

} // namespace

Events& programEvents() {
    static Events e = [] {
        Events ev;
        registerAll(ev);
        registerExplore(ev);
        registerSteering(ev);
        onPaletteMenu(ev);
        return ev;
    }();
    return e;
}

} // namespace vx
