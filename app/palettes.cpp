#include "app/palettes.hpp"

#include "app/editor.hpp"
#include "engine/palette.hpp"
#include "platform/files.hpp"

#include <optional>
#include <string>

namespace vx {

namespace {

constexpr const char* kPattern = "*.palette";

void refreshLists(Shapes& sh) {
    const std::vector<std::string> files = listFiles(kPattern);
    sh.form.setItems("File2", files);
    sh.form.setItems("File3", files);
}

// Leaves the editor's menus as the list page has them.
void editorMenusBack(Shapes& sh) {
    sh.form.setEnabled("options2", true);
    sh.form.setVisible("cop", true);
    sh.form.setVisible("cop2", true);
}

void hideListButtons(Shapes& sh) {
    for (const char* n : {"Label6", "Command2", "Command8", "Command9", "Command10"})
        sh.form.setVisible(n, false);
}

void backToList(Shapes& sh) {
    for (const char* n :
         {"Command12", "Command13", "Label17", "Label18", "Text7", "File2", "Text11", "File3"})
        sh.form.setVisible(n, false);
    showListPage(sh);
    sh.st.colormode4 = kListPage;
    editorMenusBack(sh);
    paintEditorBackground(sh);
    drawcolors(sh);
}

// A palette name is a bare name in the working folder.
bool bareName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name != "." && name != "..";
}

// Why a palette cannot take its name from the typed text, or nothing when it can. Only the
// part before the first "." names the file.
std::optional<std::string> refusal(const std::string& typed) {
    const std::string name = typed.substr(0, typed.find('.'));
    const bool path = (name.empty() ? typed : name).find_first_of("/\\") != std::string::npos;
    if (path)
        return "A palette name cannot hold \"/\" or \"\\\": palettes are saved in the working "
               "folder.";
    if (name.empty()) return "A palette name cannot start with \".\".";
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F)
            return "A palette name cannot hold control characters (a line break, a tab or an "
                   "escape).";
    return std::nullopt;
}

void save(Shapes& sh) {
    std::string name = sh.form.text("Text11");
    name.erase(0, name.find_first_not_of(' '));
    if (name.empty()) {
        sh.platform->status("Type a name for the palette first.");
        return;
    }
    if (const auto why = refusal(name)) {
        sh.platform->status(*why);
        return;
    }
    const std::string file = name.substr(0, name.find('.')) + ".palette";
    const std::string question =
        "A palette named " + file + " already exists" +
        (readOnlyFile(file) ? " and is read-only. Replace it all the same?" : ". Replace it?");
    if (nameTaken(file) && !sh.platform->confirm(question)) {
        sh.platform->status("The palette was not saved: " + file + " was kept as it was.");
        return;
    }
    const Status written = writeFileAtomically(file, paletteText(sh.st));
    if (!written) {
        sh.platform->status("The palette was not saved as " + file + ": " +
                            written.error().message + ".");
        return;
    }
    refreshLists(sh);
    backToList(sh);
    sh.platform->status("Palette saved as " + file + " in " + workingFolderName() + ".");
}

void load(Shapes& sh) {
    const std::string file = sh.form.text("Text7");
    if (file.empty() || !bareName(file)) {
        sh.platform->status(file.empty() ? "Choose a palette file to load first."
                                         : "Choose a palette file of the working folder.");
        return;
    }
    const Result<std::string> text = readFileStart(file, kPaletteReadLimit + 1);
    if (!text) {
        sh.platform->status("The palette " + file + " could not be read: " + text.error().message +
                            ".");
        return;
    }
    const PaletteList p = parsePalette(*text);
    State& st = sh.st;
    applyPalette(st, p);
    st.numsquare = 1;
    while (st.numsquare < 64 && st.colorlist[static_cast<size_t>(st.numsquare)] != 0)
        st.numsquare += 1;
    backToList(sh);
    sh.platform->status(
        (p.damaged > 0 ? paletteDamage(file, p.damaged) : "Palette " + file + " loaded.") +
        userColoursNote(sh));
}

} // namespace

void scolorClick(Shapes& sh) {
    if (sh.st.colormode4 != kListPage) return;
    sh.st.colormode4 = kSavePage;
    sh.form.setEnabled("options2", false);
    sh.form.setVisible("cop", false);
    sh.form.setVisible("cop2", false);
    hideListButtons(sh);
    paintEditorBackground(sh);
    refreshLists(sh);
    sh.form.setText("Text11", "");
    for (const char* n : {"Label17", "Text11", "File3", "Command12", "Command13"})
        sh.form.setVisible(n, true);
}

void lcolorClick(Shapes& sh) {
    State& st = sh.st;
    if (st.colormode4 != kListPage) return;
    st.colormode4 = kLoadPage;
    sh.form.setEnabled("options2", false);
    sh.form.setVisible("cop", false);
    sh.form.setVisible("cop2", false);
    hideListButtons(sh);
    paintEditorBackground(sh);
    sh.form.setVisible("Label18", true);
    refreshLists(sh);
    std::string chosen = sh.form.selectedItem("File2");
    if (chosen.empty()) chosen = st.palettename;
    if (chosen.empty() && !sh.form.get("File2").items.empty())
        chosen = sh.form.get("File2").items.front();
    sh.form.setText("Text7", chosen);
    st.palettename = chosen;
    for (const char* n : {"Text7", "File2", "Command12", "Command13"}) sh.form.setVisible(n, true);
}

void file3Click(Shapes& sh) {
    const std::string entry = sh.form.selectedItem("File3");
    if (sh.st.colormode4 == kSavePage && !entry.empty()) sh.form.setText("Text11", entry);
}

void file2Click(Shapes& sh) {
    const std::string entry = sh.form.selectedItem("File2");
    if (sh.st.colormode4 != kLoadPage || entry.empty()) return;
    sh.form.setText("Text7", entry);
    sh.st.palettename = entry;
}

void command12Click(Shapes& sh) {
    if (sh.st.colormode4 == kSavePage)
        save(sh);
    else if (sh.st.colormode4 == kLoadPage)
        load(sh);
}

void command13Click(Shapes& sh) {
    if (sh.st.colormode4 == kSavePage || sh.st.colormode4 == kLoadPage) backToList(sh);
}

} // namespace vx
