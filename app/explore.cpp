#include "app/explore.hpp"

#include "app/fields.hpp"
#include "app/panel.hpp"
#include "platform/files.hpp"

namespace vx {

namespace {

// The settings as the lock dialog names them, in the order of kLockableNames.
constexpr const char* kLockCaptions[kLockables] = {"Size of shape", "Detail of shape", "Complexity",
                                                   "Smoothness",    "Shape style",     "Color mode",
                                                   "Pattern mode"};

// The drawing the panel and the menus would make now, without writing back any field.
Drawing panelDrawing(const Shapes& sh) {
    Drawing d;
    d.kind = sh.st.mpattern == kShapeKind ? DrawingKind::Shape : DrawingKind::Pattern;
    for (const FieldSpec* f : kDrawingFields)
        d.settings.*f->setting = fieldValue(*f, sh.form.text(f->name));
    d.settings.fancy = sh.form.checked("Option2");
    d.settings.colour = colourSettings(sh.st);
    return d;
}

void applyColourMode(Shapes& sh, const ColourSettings& c) {
    sh.st.tcolor = c.tcolor;
    sh.st.tcolor2 = c.tcolor2;
    sh.form.setChecked("bcolor7", c.tcolor == kBasicColours);
    sh.form.setChecked("tcolor7", c.tcolor == kTrueColours && c.tcolor2 == kListOff);
    sh.form.setChecked("ucolors", c.tcolor == kTrueColours && c.tcolor2 == kListOn);
}

// The new values where the user would set them: the fields, the option buttons, the colour
// mode and the pattern mode.
void applyToPanel(Shapes& sh, const Drawing& d, const SettingLocks& locks) {
    const DrawSettings& s = d.settings;
    const std::pair<Lockable, const FieldSpec*> fields[] = {
        {Lockable::Size, &kSizeField},
        {Lockable::Detail, &kDetailField},
        {Lockable::Complexity, &kComplexityField},
        {Lockable::Smoothness, &kSmoothnessField}};
    for (const auto& [which, f] : fields)
        if (!locks[which]) sh.setField(f->name, s.*f->setting);
    if (!locks[Lockable::Style]) {
        sh.st.complexy = s.fancy ? kFancyShapes : kRegularShapes;
        sh.form.selectOption(s.fancy ? "Option2" : "Option1", {"Option1", "Option2"});
    }
    if (!locks[Lockable::Colours]) applyColourMode(sh, s.colour);
    if (!locks[Lockable::Kind]) {
        const bool pattern = d.kind == DrawingKind::Pattern;
        sh.st.mpattern = pattern ? kPatternKind : kShapeKind;
        sh.form.setChecked("csingle", !pattern);
        sh.form.setChecked("cpattern", pattern);
    }
}

std::string lockedNames(const SettingLocks& locks) {
    std::string s;
    for (size_t i = 0; i < kLockables; ++i)
        if (locks.locked[i]) s += (s.empty() ? "" : ", ") + std::string(kLockableNames[i]);
    return s;
}

} // namespace

std::string locksFilePath() {
    const std::string folder = userConfigFolder();
    return folder.empty() ? "" : folder + "/" + kLocksFile;
}

const SettingLocks& currentLocks(Shapes& sh) {
    if (sh.locks) return *sh.locks;
    sh.locks.emplace();
    const std::string file = locksFilePath();
    if (file.empty() || !nameTaken(file)) return *sh.locks;
    const Result<std::string> text = readFileStart(file, 4096);
    int unknown = 0;
    if (text) *sh.locks = readLocks(*text, &unknown);
    if (!text)
        sh.platform->warn("The locks of \"Random settings\" could not be read from " + file + " (" +
                          text.error().message + "); nothing is locked.");
    else if (unknown > 0)
        sh.platform->warn(file + " has lines that name no setting; they were left out.");
    return *sh.locks;
}

void randomSettingsClick(Shapes& sh) {
    if (sh.pageOpen() || sh.command1Running) return;
    const SettingLocks locks = currentLocks(sh);
    if (!sh.exploreRng)
        sh.exploreRng.emplace(static_cast<uint64_t>(sh.platform->clockSeconds() * 1000.0) ^
                              0x243F6A8885A308D3ull);
    Drawing d = panelDrawing(sh);
    randomiseSettings(d, locks, *sh.exploreRng);
    applyToPanel(sh, d, locks);
    command1Click(sh);
    const std::string kept = lockedNames(locks);
    sh.platform->status("Random settings" + (kept.empty() ? "" : " (locked: " + kept + ")") + ". " +
                        sh.platform->lastStatus);
}

void lockSettingsClick(Shapes& sh) {
    const SettingLocks now = currentLocks(sh);
    const std::vector<std::string> names(std::begin(kLockCaptions), std::end(kLockCaptions));
    const std::vector<bool> ticked(now.locked.begin(), now.locked.end());
    const std::optional<std::vector<bool>> answer = sh.platform->askChecks(
        "Lock settings", "\"Random settings\" leaves the ticked settings as they are:", names,
        ticked);
    if (!answer || answer->size() != kLockables) return;
    SettingLocks chosen;
    for (size_t i = 0; i < kLockables; ++i) chosen.locked[i] = (*answer)[i];
    if (chosen == now) {
        sh.platform->status("The locks are as they were.");
        return;
    }
    sh.locks = chosen;
    const std::string kept = lockedNames(chosen);
    const std::string said = kept.empty() ? "Nothing is locked: \"Random settings\" changes every "
                                            "setting."
                                          : "Locked: " + kept + ".";
    const std::string file = locksFilePath();
    Status written = file.empty() ? Status(fail("no home folder is known")) : Status();
    if (written) written = makeFolders(userConfigFolder());
    if (written) written = writeFileAtomically(file, locksText(chosen));
    sh.platform->status(written ? said
                                : said +
                                      " They hold until the program ends: they could not be "
                                      "kept in " +
                                      (file.empty() ? std::string("a file") : file) + " (" +
                                      written.error().message + ").");
}

} // namespace vx
