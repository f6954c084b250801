#include "app/palettemenu.hpp"

#include "app/editor.hpp"
#include "app/output.hpp"
#include "export/picturepalette.hpp"
#include "platform/files.hpp"

#include <cstdlib>
#include <filesystem>
#include <set>

namespace vx {

namespace {

constexpr const char* kPaletteFilter =
    "Palettes (*.gpl *.ase *.hex *.txt *.pal *.palette);;All files (*)";
constexpr const char* kWrittenFilter =
    "GIMP palettes (*.gpl);;Adobe Swatch Exchange (*.ase);;Hex lists (*.hex);;Vortalis "
    "palettes (*.palette)";
constexpr const char* kPictureFilter =
    "Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.tif *.tiff *.ppm *.pgm);;All files (*)";

void menu(ui::Form& f, const std::string& name, const std::string& caption,
          const std::string& parent, bool visible = true) {
    ui::Control c;
    c.name = name;
    c.kind = ui::Kind::Menu;
    c.text = caption;
    c.parent = parent;
    c.visible = visible;
    f.add(c);
}

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// The list can change only on the drawing page and on the editor's list page.
bool elsewhere(Shapes& sh) {
    const double page = sh.st.colormode4;
    if (page == 2)
        sh.platform->status("Pick a shade first: palettes replace the list of colours.");
    else if (page == 3 || page == 4)
        sh.platform->status("Press \"Done\" or \"Cancel\" first: palettes replace the list of "
                            "colours.");
    return page >= 2;
}

std::string drawNote(const Shapes& sh) {
    return sh.st.tcolor2 == 1
               ? " \"User defined colors\" draw with it from the next drawing."
               : " \"User defined colors\" draw with it: choose Options > Color mode > \"User "
                 "defined colors\".";
}

// Replaces the list (slots past 64 emptied) and selects its first empty slot, as loading a
// palette file does; the editor's list page shows the new list at once.
void useList(Shapes& sh, const PaletteList& p, const std::string& said) {
    State& st = sh.st;
    applyPalette(st, p);
    st.numsquare = 1;
    while (st.numsquare < 64 && st.colorlist[static_cast<size_t>(st.numsquare)] != 0)
        st.numsquare += 1;
    if (st.colormode4 == 1) {
        paintEditorBackground(sh);
        drawcolors(sh);
    }
    sh.platform->status(said + drawNote(sh));
}

std::vector<int32_t> currentList(const State& st) {
    std::vector<int32_t> list;
    for (size_t i = 1; i <= 64 && st.colorlist[i] != 0; ++i) list.push_back(st.colorlist[i]);
    return list;
}

std::string colours(int n) {
    return std::to_string(n) + (n == 1 ? " colour" : " colours");
}

// "the GIMP palette "Autumn" (12 colours)" and what was left out or mended.
std::string described(const ReadPalette& p, const std::string& file) {
    std::string s = std::string("the ") + formatName(p.format) +
                    (p.name.empty() ? "" : " \"" + p.name + "\"") + " " + file + " (" +
                    colours(p.colours) + ")";
    if (p.leftOut > 0)
        s += "; the list holds 64, so the first 64 were taken and " + std::to_string(p.leftOut) +
             " left out";
    if (p.list.damaged > 0)
        s += "; " + std::to_string(p.list.damaged) +
             " of its 65 values were damaged and left out "
             "or mended";
    return s;
}

} // namespace

std::string paletteItem(const BundledPalette& b) {
    return "palette:" + b.id;
}

void addPaletteMenu(ui::Form& f) {
    menu(f, "palettes", "Palettes", "", false);
    std::string group, groupMenu;
    std::set<std::string> names;
    for (const BundledPalette& b : bundledPalettes()) {
        if (!names.insert(paletteItem(b)).second) continue; // the same name in another case
        if (b.group != group) {
            group = b.group;
            groupMenu = "palettegroup" + std::to_string(names.size());
            menu(f, groupMenu, group, "palettes");
        }
        menu(f, paletteItem(b), b.name, groupMenu);
        std::vector<int32_t> swatch;
        for (int32_t v : b.list.slots)
            if (v != 0) swatch.push_back(fileColour(v));
        f.setSwatch(paletteItem(b), swatch);
    }
    menu(f, "importpalette", "Import palette...", "palettes");
    menu(f, "exportpalette", "Export palette...", "palettes");
    menu(f, "picturepalette", "Palette from picture...", "palettes");
}

void onPaletteMenu(Events& e) {
    for (const BundledPalette& b : bundledPalettes())
        e.onClick(paletteItem(b), [&b](Shapes& sh) { useBundled(sh, b); });
    e.onClick("importpalette", importPaletteClick);
    e.onClick("exportpalette", exportPaletteClick);
    e.onClick("picturepalette", picturePaletteClick);
}

void useBundled(Shapes& sh, const BundledPalette& b) {
    if (elsewhere(sh)) return;
    int n = 0;
    while (n < 64 && b.list.slots[static_cast<size_t>(n)] != 0) ++n;
    useList(sh, b.list, "Palette \"" + b.name + "\" (" + colours(n) + ") is the colour list.");
}

void importPaletteClick(Shapes& sh) {
    if (elsewhere(sh)) return;
    const std::optional<std::string> file =
        sh.platform->askOpenFile("Import palette", kPaletteFilter);
    if (!file || file->empty()) {
        sh.platform->status("No palette was imported.");
        return;
    }
    const Result<ReadPalette> p = readPaletteFile(*file);
    if (!p) {
        sh.platform->status(fileName(*file) + " was not imported: " + p.error().message +
                            ". The colour list was left as it was.");
        return;
    }
    useList(sh, p->list, "Imported " + described(*p, fileName(*file)) + ".");
}

void exportPaletteClick(Shapes& sh) {
    if (elsewhere(sh)) return;
    const std::vector<int32_t> list = currentList(sh.st);
    if (list.empty()) {
        sh.platform->status("The colour list is empty: there is no palette to export.");
        return;
    }
    const int n = firstFreeNumber("palette", ".gpl");
    const std::optional<std::string> file = sh.platform->askSaveFile(
        "Export palette", n > 0 ? "palette" + std::to_string(n) + ".gpl" : "palette.gpl",
        kWrittenFilter);
    if (!file || file->empty()) {
        sh.platform->status("No palette was exported.");
        return;
    }
    const std::optional<PaletteFormat> f = writtenFormat(*file);
    if (!f) {
        sh.platform->status("No palette was exported: " + fileName(*file) +
                            " must end in .gpl, .ase, .hex or .palette, which say its format.");
        return;
    }
    const EncodedPalette e = encodePalette(list, *f, std::filesystem::path(*file).stem().string());
    Status written = regularOrAbsent(*file);
    if (written && !mayReplace(sh, *file)) return;
    if (written) written = writeFileAtomically(*file, e.bytes);
    if (!written) {
        sh.platform->status("The palette was not exported as " + *file + ": " +
                            written.error().message + ".");
        return;
    }
    const int shades = e.shadesAsColours;
    sh.platform->status("Exported " + colours(static_cast<int>(list.size())) + " as the " +
                        formatName(*f) + " " + *file + "." +
                        (shades == 1 ? " Its random shade is written as the full shade of its hue."
                         : shades > 1
                             ? " Its " + std::to_string(shades) +
                                   " random shades are written as the full shade of their hue."
                             : ""));
}

void picturePaletteClick(Shapes& sh) {
    if (elsewhere(sh)) return;
    const std::optional<std::string> file =
        sh.platform->askOpenFile("Palette from picture", kPictureFilter);
    const std::optional<std::string> count =
        file && !file->empty()
            ? sh.platform->askChoice("Palette from picture",
                                     "Colours to take from the picture:", {"8", "16", "32", "64"},
                                     1)
            : std::nullopt;
    if (!count) {
        sh.platform->status("No palette was made from a picture.");
        return;
    }
    const Result<Surface> picture = sh.platform->readPicture(*file);
    if (!picture) {
        sh.platform->status(fileName(*file) + " could not be read as a picture: " +
                            picture.error().message + ". The colour list was left as it was.");
        return;
    }
    const int wanted = std::atoi(count->c_str());
    if (wanted != 8 && wanted != 16 && wanted != 32 && wanted != 64) {
        sh.platform->status("No palette was made: take 8, 16, 32 or 64 colours.");
        return;
    }
    const std::vector<PictureColour> found = pictureColours(*picture, wanted);
    if (found.empty()) {
        sh.platform->status(fileName(*file) +
                            " has no pixels. The colour list was left as it was.");
        return;
    }
    PaletteList p;
    for (size_t i = 0; i < found.size() && i < 64; ++i)
        p.slots[i] = listColour(found[i].rgb & 0xFF, (found[i].rgb >> 8) & 0xFF,
                                (found[i].rgb >> 16) & 0xFF);
    p.numcolors = found.size() < 64 ? static_cast<double>(found.size() + 1) : 64;
    useList(sh, p,
            "Palette from " + fileName(*file) + ": " + colours(static_cast<int>(found.size())) +
                " by " + kPicturePaletteMethod + ", the largest area first.");
}

} // namespace vx
