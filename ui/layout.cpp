#include "ui/layout.hpp"

namespace vx::ui {

namespace {

void ctl(Form& f, const char* name, Kind k, const char* text, int x, int y, int w, int h,
         int32_t back = -1, int maxLen = 0) {
    Control c;
    c.name = name;
    c.kind = k;
    c.text = text;
    c.x = x, c.y = y, c.w = w, c.h = h;
    c.backColor = back;
    c.maxLength = maxLen;
    f.add(c);
}

void menu(Form& f, const char* name, const char* caption, const char* parent, bool visible = true) {
    Control c;
    c.name = name;
    c.kind = Kind::Menu;
    c.text = caption;
    c.parent = parent;
    c.visible = visible;
    f.add(c);
}

// An item whose check mark mirrors a setting.
void marked(Form& f, const char* name, const char* caption, const char* parent, bool checked,
            bool visible = true) {
    Control c;
    c.name = name;
    c.kind = Kind::Menu;
    c.text = caption;
    c.parent = parent;
    c.visible = visible;
    c.checked = checked;
    c.checkable = true;
    f.add(c);
}

void timer(Form& f, const char* name, int interval) {
    Control c;
    c.name = name;
    c.kind = Kind::Timer;
    c.interval = interval;
    c.enabled = false;
    f.add(c);
}

// After "Export": steering the drawing on screen and the drawings kept between runs; the
// variations page's controls; then the favourites page's own menu, shown alone while the page
// covers the drawing.
void addExploreMenu(Form& f) {
    using K = Kind;
    menu(f, "explore", "Explore", "", false);
    menu(f, "newcolours", "New colours", "explore");
    menu(f, "variations", "Variations...", "explore");
    menu(f, "randomsettings", "Random settings", "explore");
    menu(f, "locksettings", "Lock settings...", "explore");
    menu(f, "addfavourite", "Add to favourites", "explore");
    menu(f, "favourites", "Favourites...", "explore");
    f.setShortcut("newcolours", "Ctrl+N");
    f.setShortcut("randomsettings", "Ctrl+R");
    f.setShortcut("addfavourite", "Ctrl+D");
    ctl(f, "varcolours", K::OptionButton, "New colours", 8, 8, 97, 33);
    ctl(f, "varseeds", K::OptionButton, "Other seeds", 112, 8, 97, 33);
    ctl(f, "varsettings", K::OptionButton, "Nudged settings", 216, 8, 113, 33);
    ctl(f, "varmore", K::Button, "More", 344, 8, 81, 33);
    ctl(f, "varback", K::Button, "Back", 432, 8, 81, 33);
    menu(f, "favpage", "Favourites", "", false);
    menu(f, "favexport", "Export all...", "favpage", false);
    menu(f, "favdelete", "Delete", "favpage", false);
    menu(f, "favback", "Back to the drawing", "favpage", false);
    f.setShortcut("favdelete", "Del");
    f.setShortcut("favback", "Esc");
    // Takes in the favourites' thumbnails as they are made.
    timer(f, "favtimer", 15);
}

} // namespace

void buildMainWindow(Form& f) {
    using K = Kind;
    ctl(f, "Command4", K::Button, "Begin", 8, 24, 81, 33);
    ctl(f, "Command1", K::Button, "Create random shape(s)", 8, 16, 81, 33);
    ctl(f, "Label2", K::Label, "Size of shape: (40 to 400):", 8, 104, 129, 17, kGreen);
    ctl(f, "Text2", K::TextField, "200", 136, 104, 25, 19, -1, 3);
    ctl(f, "Label1", K::Label, "Complexity of shape (0 to 20):", 208, 104, 145, 17, kGreen);
    ctl(f, "Text1", K::TextField, "0", 352, 104, 25, 19, -1, 2);
    ctl(f, "Label3", K::Label, "Detail of shape (1 to 25):", 8, 144, 121, 17, kLightCyan);
    ctl(f, "Text3", K::TextField, "16", 128, 144, 25, 19, -1, 2);
    ctl(f, "Label4", K::Label, "Number of sides (4 or 8):", 176, 184, 121, 17, kLightCyan);
    ctl(f, "Text4", K::TextField, "4", 296, 184, 25, 19, -1, 2);
    ctl(f, "Label9", K::Label, "Complexity (1 to 25):", 8, 208, 97, 17, kCyan);
    ctl(f, "Text9", K::TextField, "1", 104, 208, 25, 19, -1, 2);
    ctl(f, "Label8", K::Label, "Smoothness (1 to 9):", 8, 248, 105, 17, kLightCyan);
    ctl(f, "Text10", K::TextField, "2", 112, 248, 25, 19, -1, 1);
    ctl(f, "Option1", K::OptionButton, "Shapes Regular", 8, 328, 81, 33, kRed);
    ctl(f, "Option2", K::OptionButton, "Shapes Fancy", 8, 384, 81, 33, kRed);
    ctl(f, "Label5", K::Label, "Seconds waited (scr-mode):", 8, 456, 137, 17, kGreen);
    ctl(f, "Text5", K::TextField, "10", 144, 456, 25, 19, -1, 2);
    ctl(f, "Picture1", K::PictureBox, "", 208, 328, 201, 161, 0);
    ctl(f, "Label6", K::Label, "Chosen colors (in order of importance):", 8, 16, 185, 17, kGreen);
    ctl(f, "Command2", K::Button, "Delete Color", 8, 488, 81, 33);
    ctl(f, "Command8", K::Button, "Reset Colors", 120, 488, 81, 33);
    ctl(f, "Command9", K::Button, "Shifter Color Upwards", 232, 488, 81, 33);
    ctl(f, "Command10", K::Button, "Shift Color Downwards", 344, 488, 81, 33);
    static const char* shadeCaptions[7] = {
        "Please choose a shade of blue:",  "Please choose a shade of red:",
        "Please choose a shade of green:", "Please choose a shade of purple:",
        "Please choose a shade of brown:", "Please choose a shade of yellow:",
        "Please choose a shade of grey:"};
    static const char* shadeNames[7] = {"Label10", "Label11", "Label12", "Label13",
                                        "Label14", "Label15", "Label16"};
    for (int i = 0; i < 7; ++i)
        ctl(f, shadeNames[i], K::Label, shadeCaptions[i], 8, 16, 161, 17, kGreen);
    ctl(f, "Command11", K::Button, "Choose Random Shade", 8, 264, 97, 33);
    ctl(f, "Label17", K::Label, "Please choose a name to save this color palette as:", 8, 24, 249,
        17, kGreen);
    ctl(f, "Text11", K::TextField, "", 256, 24, 65, 19, -1, 19);
    ctl(f, "File3", K::FileList, "*.palette", 320, 24, 81, 58);
    ctl(f, "Label18", K::Label, "Color palette to load:", 8, 24, 105, 17, kGreen);
    ctl(f, "Text7", K::TextField, "", 112, 24, 65, 19);
    ctl(f, "File2", K::FileList, "*.palette", 176, 24, 81, 58);
    ctl(f, "Command12", K::Button, "Done", 8, 128, 81, 33);
    ctl(f, "Command13", K::Button, "Cancel", 128, 128, 81, 33);
    ctl(f, "Label7", K::Label,
        "Please choose a bitmap that contains the colors that you want to use:", 0, 16, 329, 17,
        kMagenta);
    ctl(f, "Text8", K::TextField, "", 328, 16, 65, 19);
    ctl(f, "File1", K::FileList, "*.bmp", 392, 16, 81, 58);
    ctl(f, "Command6", K::Button, "Done", 512, 16, 81, 33);
    ctl(f, "Command7", K::Button, "Cancel", 512, 72, 81, 33);
    ctl(f, "Picture2", K::PictureBox, "", 496, 344, 305, 225, 0xFFFFFF);
    ctl(f, "Command3", K::Button, "Print complex", 224, 16, 81, 33);
    ctl(f, "Text6", K::TextField, "Text6", 248, 16, 33, 19);
    ctl(f, "Command5", K::Button, "Stop printing", 8, 16, 81, 33);

    // Only "Begin" is visible at creation.
    for (auto n : {"Command4"}) f.setVisible(n, true);
    f.selectOption("Option2", {"Option1", "Option2"});

    timer(f, "Timer1", 0);
    timer(f, "Timer2", 1);
    timer(f, "Timer6", 5000);

    menu(f, "options", "Options", "", false);
    marked(f, "regmode", "Regular mode", "options", true);
    marked(f, "ssaver", "Screen-Saver mode", "options", false);
    menu(f, "dfgfgdf", "Animation speed", "options");
    marked(f, "tslow", "Slow", "dfgfgdf", false);
    marked(f, "tfast", "Fast", "dfgfgdf", true);
    menu(f, "impcolor", "Import color scale", "options", false);
    menu(f, "colormode", "Color mode", "options");
    marked(f, "ucolors", "User defined colors", "colormode", true);
    marked(f, "tcolor7", "True color (16000000 colors)", "colormode", false);
    marked(f, "bcolor7", "Basic color (15 colors)", "colormode", false);
    menu(f, "editcolors", "Edit colors", "options");
    menu(f, "pscreen", "Print pattern (press \"P\")", "options");
    menu(f, "sscreen", "Save shape (press \"S\")", "options");
    menu(f, "autoprint", "Auto-print", "options", false);
    marked(f, "printon", "on", "autoprint", false);
    marked(f, "printoff", "off", "autoprint", true);
    menu(f, "numprint", "Number of shapes to print", "autoprint");
    menu(f, "resetprinting", "Reset printing", "autoprint");
    menu(f, "numprinted", "{Shapes printed: 10 out of 10}", "autoprint");
    menu(f, "autosave", "Auto-save", "options", false);
    marked(f, "saveon", "on", "autosave", false);
    marked(f, "saveoff", "off", "autosave", true);
    menu(f, "numsave", "Number of shapes to save", "autosave");
    menu(f, "resetsaving", "Reset saving", "autosave");
    menu(f, "numsaved", "{Shapes saved: 10 out of 10}", "autosave");
    menu(f, "restored", "Restore default settings", "options");
    menu(f, "savesettings", "Save settings", "options");
    menu(f, "quit", "Quit", "options");
    menu(f, "options2", "Options", "", false);
    menu(f, "scolor", "Save color-palette", "options2");
    menu(f, "lcolor", "Load color-palette", "options2");
    menu(f, "quit2", "Quit to main page", "options2");
    menu(f, "patmode", "Pattern mode", "", false);
    marked(f, "csingle", "Create single shape", "patmode", false);
    marked(f, "cpattern", "Create pattern", "patmode", true);
    menu(f, "moptions5", "More shape options", "", false);
    menu(f, "smoothness5", "Smoothness", "moptions5");
    marked(f, "ssmooth", "Shapes smooth", "smoothness5", true);
    marked(f, "ssharp", "Shapes sharp", "smoothness5", false);
    marked(f, "sfancy", "sfancy", "smoothness5", true, false);
    menu(f, "center5", "Complexity of shape", "moptions5", false);
    marked(f, "snormal", "Shapes simple", "center5", false);
    marked(f, "scenter", "Shapes complex", "center5", true);
    menu(f, "cop", "Choose color", "", false);
    for (auto [n, c] : {std::pair{"blue", "Blue"},
                        {"red", "Red"},
                        {"green", "Green"},
                        {"purple", "Purple"},
                        {"yellow", "Yellow"},
                        {"brown", "Brown"}})
        menu(f, n, c, "cop");
    menu(f, "cop2", "Choose non-color", "", false);
    menu(f, "bwg", "Grey", "cop2");
    menu(f, "white", "White", "cop2");
    menu(f, "black", "Black", "cop2");

    // After the menus of the bar as it was made: the drawings of the session.
    menu(f, "history", "History", "", false);
    menu(f, "prevdrawing", "Previous drawing", "history");
    menu(f, "nextdrawing", "Next drawing", "history");
    menu(f, "copycode", "Copy drawing code", "history");
    menu(f, "gotocode", "Go to drawing code...", "history");

    // After "History": the drawing on screen as files at full quality.
    menu(f, "export", "Export", "", false);
    menu(f, "exportsvg", "Export drawing as SVG...", "export");
    menu(f, "exportpdf", "Export drawing as PDF...", "export");
    menu(f, "poster", "Save poster...", "export");
    menu(f, "wallpaper", "Save as wallpaper", "export");
    menu(f, "recordvideo", "Record video...", "export");
    addExploreMenu(f);

    f.setShortcut("prevdrawing", "Alt+Left");
    f.setShortcut("nextdrawing", "Alt+Right");
    // Nothing to go back or forward to before the first drawing.
    f.setEnabled("prevdrawing", false);
    f.setEnabled("nextdrawing", false);

    f.setGroup({"regmode", "ssaver"}, "runmode");
    f.setGroup({"tslow", "tfast"}, "speed");
    f.setGroup({"ucolors", "tcolor7", "bcolor7"}, "colourmode");
    f.setGroup({"csingle", "cpattern"}, "patmode");
}

} // namespace vx::ui
