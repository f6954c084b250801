#pragma once
// The window state: the settings, switches and counters that outlive one handler, under the
// names the rest of the program uses. Members never assigned are 0. Every member is a plain
// number, as the settings file stores it; the constants below name the values of those that
// code a choice.
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

// Kind of drawing, in `mpattern`, `mpattern2` and `ggbbc`.
constexpr double kShapeKind = 0, kPatternKind = 1;
// What the last finished drawing left on screen, in `bbmv`.
constexpr double kShownNothing = 0, kShownShape = 1, kShownPattern = 2;
// Run mode, in `ssmode`.
constexpr double kRegularMode = 0, kSaverMode = 1;
// The colour editor's page, in `colormode4`.
constexpr double kEditorClosed = 0, kListPage = 1, kShadePage = 2, kSavePage = 3, kLoadPage = 4;
// Colour source, in `tcolor`; with kTrueColours, `tcolor2` says whether the list recolours.
constexpr double kBasicColours = 0, kTrueColours = 1, kImportedColours = 2;
constexpr double kListOff = 0, kListOn = 1;
// Shape style, in `complexy`.
constexpr double kRegularShapes = 1, kFancyShapes = 2;
// Speed of the gliding shape picture, in `nwait4`.
constexpr double kFastAnimation = 0, kSlowAnimation = 1;

struct State {
    // Stored in the settings file, in the order of its first line (the seconds waited between
    // drawings in screen-saver mode have no member: they live in the field Text5). The fields
    // of the options panel are read again, clamped and written back at every drawing, so a
    // field, not its member, is what a drawing uses.
    double detailf = 0;   // detail of a shape, 1..25 (Text3); 16 at start-up
    double swidth = 0;    // side of a shape's square or a pattern's tile, pixels, 40..400
                          // (Text2); 100 on the main page, 200 after it
    double complexy2 = 0; // complexity of shape, 0..20 (Text1, never shown); drawn by nothing
    double complexy = 0;  // shape style: kRegularShapes 1, kFancyShapes 2 (Option1/Option2)
    double tcolor = 0;    // colour source: kBasicColours 0, kTrueColours 1 (true colour or the
                          // list, as tcolor2 says), kImportedColours 2 (the imported scale)
    double nsides = 0;    // sides of a shape: 4 or 8 from the field (Text4, never shown);
                          // the generators take 2 too, and any other number as 4
    double sharpf = 0;    // smoothness: 1..9 from the field (Text10), 2 at start-up; the menu
                          // marks "Shapes smooth" at 0 and "Shapes sharp" at 1
    double centerf = 0;   // shapes simple 0 or complex 1: 1 while a pattern draws, 0 after
                          // every drawing and every reading; the stored value is never used
    double mpattern = 0;  // what "Create random shape(s)" makes: kShapeKind 0, kPatternKind 1
    double nwait4 = 0;    // gliding speed: kFastAnimation 0, kSlowAnimation 1
    double ntimes = 0;    // a count kept in the file and read by nothing; at least 1 when saved
    double complexy4 = 0; // complexity, 1..25 (Text9)
    double tcolor2 = 0;   // with kTrueColours: kListOn 1 recolours the largest areas from the
                          // colour list, kListOff 0 keeps the true colours
    double numcolors = 0; // slots the colour editor shows: the filled ones and one empty, 1..64

    // The user's colour list: slots 1..10000 hold a colour (red + 256 green + 65536 blue), 0
    // (empty) or a shade code -1..-7; slots 1..numcolors are in use, 1..64 are stored.
    std::vector<int32_t> colorlist = std::vector<int32_t>(10001, 0);
    // The imported colour scale, slots 1..cgf.
    std::vector<int32_t> importcolors = std::vector<int32_t>(100001, 0);
    double cgf = 0;          // colours in the imported scale; 0: none imported
    double numsquare = 0;    // the colour editor's selected slot of the list, 1..64
    double anf = 0;          // shade code -1..-7 of the shade chooser last used in the editor
    std::string palettename; // the palette file last chosen on the load page; empty at first

    // Mode switches and flags.
    double ssmode = 0;     // run mode: kRegularMode 0, kSaverMode 1
    double mpattern2 = 0;  // kind of drawing on screen: kShapeKind 0, kPatternKind 1; the
                           // generators copy mpattern into it as they start
    double bbmv = 0;       // what is on screen, as the generators leave it at their end:
                           // kShownNothing 0 (no drawing yet), kShownShape 1, kShownPattern 2
    double ggbbc = 0;      // which generator started last: kShapeKind 0, kPatternKind 1
    double swidth999 = 0;  // size of the last single shape, whole pixels; 0 before the first
    double nosave = 0;     // the drawing on screen is saved already: 1, else 0
    double hhfd = 0;       // the options panel was showing when printing began: 1, else 0
    double hhmmf = 0;      // 1 while the slow glide waits for Timer2's tick, 0 once it came
    double colormode4 = 0; // the colour editor's page: kEditorClosed 0, kListPage 1,
                           // kShadePage 2, kSavePage 3 (save a palette), kLoadPage 4 (load one)
    double ffb = 0;        // 1 once "Begin" has left the main page, 0 before
    double ssg = 0;        // sides shown in Text4 as the arrow keys step them: 4 or 8
    double aprintx = 0;    // automatic printing on 1 / off 0: only check marks read it
    double asavex = 0;     // automatic saving on 1 / off 0: only check marks read it

    // The gliding shape picture of screen-saver mode: its left and top in window pixels
    // (fractional), and its step per pass of the main loop, +0.01 or -0.01 each (at
    // kSlowAnimation a pass steps 100 times as far, then waits for Timer2's tick).
    double abb = 0, dbb = 0, awb = 0, bwb = 0;
    // The same four, kept while the colour editor covers the window and given back after.
    double abb2 = 0, dbb2 = 0, awb2 = 0, bwb2 = 0;
};

} // namespace vx
