#include "app/settings.hpp"

#include "app/fields.hpp"
#include "app/generators.hpp"
#include "app/output.hpp"
#include "platform/files.hpp"

#include <algorithm>

namespace vx {

namespace {

struct Reading {
    std::optional<double> seconds;
    // One mark a value, however many ways it is wrong: the count never exceeds the 79.
    std::bitset<79> problems;
};

// Values outside their set would leave no drawing kind or colour mode chosen.
bool inItsSet(int head, double x) {
    switch (head) {
    case kHeadMpattern:
    case kHeadTcolor2:
        return x == 0 || x == 1;
    case kHeadTcolor:
        return x == 0 || x == 1 || x == 2;
    default:
        return true;
    }
}

// The fifteen numbers of the first line into their members (the seconds into the reading).
void readHead(State& st, const SettingsValues& v, Reading& r) {
    double* members[15] = {&st.detailf, &st.swidth, &st.complexy2, &st.complexy, &st.tcolor,
                           &st.nsides,  nullptr,    &st.sharpf,    &st.centerf,  &st.mpattern,
                           &st.nwait4,  &st.ntimes, &st.complexy4, &st.tcolor2,  &st.numcolors};
    for (int i = 0; i < 15; ++i) {
        if (!v.head[i] || !inItsSet(i, *v.head[i])) {
            r.problems.set(i);
            continue;
        }
        const double x = *v.head[i];
        if (i == kHeadSeconds)
            r.seconds = x;
        else if (i == kHeadNumcolors) // the editor and the files hold 64 slots at most
            st.numcolors = clampTo(toInt32(x), 1, 64);
        else
            *members[i] = x;
    }
}

// The 64 slots of the colour list; a value no slot can hold empties its slot.
void readColourList(State& st, const SettingsValues& v, Reading& r) {
    // The file holds the whole list: slots past its 64 (a drawing code's) are emptied.
    std::fill(st.colorlist.begin() + 65, st.colorlist.end(), 0);
    for (int i = 0; i < 64; ++i) {
        if (!v.colours[i]) {
            r.problems.set(15 + i);
            continue;
        }
        const double x = *v.colours[i];
        const bool valid = validListValue(x);
        st.colorlist[i + 1] = valid ? static_cast<int32_t>(x) : 0;
        if (!valid) r.problems.set(15 + i);
    }
}

// Automatic printing and saving are on or off, and their check marks say which.
void settleAutoSwitches(State& st, ui::Form& f) {
    st.aprintx = st.aprintx == 1 ? 1 : 0;
    st.asavex = st.asavex == 1 ? 1 : 0;
    f.setChecked("printon", st.aprintx == 1);
    f.setChecked("printoff", st.aprintx == 0);
    f.setChecked("saveon", st.asavex == 1);
    f.setChecked("saveoff", st.asavex == 0);
}

// Steps shared by both readings: the values, conversions and clamps.
Reading readValues(Shapes& sh, const SettingsValues& v) {
    State& st = sh.st;
    Reading r;
    r.problems = v.unreadable;
    readHead(st, v, r);
    readColourList(st, v, r);
    st.centerf = 0;
    settleAutoSwitches(st, sh.form);
    st.complexy4 = clampToField(kComplexityField, st.complexy4);
    sh.setField(kComplexityField.name, st.complexy4);
    return r;
}

void readTail(Shapes& sh) {
    State& st = sh.st;
    st.sharpf = clampToField(kSmoothnessField, st.sharpf);
    sh.setField(kSmoothnessField.name, st.sharpf);
    st.centerf = 0;
    st.mpattern2 = st.mpattern;
}

void reportProblems(Shapes& sh, int problems, const std::string& file) {
    if (problems == 0) return;
    // A warning, not a status line: the first drawing's line must not hide it.
    sh.platform->warn(file + " is damaged or incomplete: " + std::to_string(problems) +
                      (problems == 1 ? " value" : " values") + " could not be read.");
}

bool readFileInto(Shapes& sh, bool second, const std::string& file) {
    // A missing file leaves everything as it is, without a word; one that is there but cannot
    // be read (a pipe, a folder, no permission) leaves everything too, but says why.
    const Result<std::string> text = readFileStart(file, kSettingsReadLimit);
    if (!text) {
        if (nameTaken(file))
            sh.platform->warn(file + " was not read: " + text.error().message + ".");
        return false;
    }
    const SettingsValues v = parseSettings(*text);
    if (second)
        applySettingsSecond(sh, v, file);
    else
        applySettingsFirst(sh, v, file);
    return true;
}

} // namespace

void applySettingsFirst(Shapes& sh, const SettingsValues& v, const std::string& file) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    const Reading r = readValues(sh, v);
    if (st.tcolor == kTrueColours && st.tcolor2 == kListOff) {
        f.setChecked("tcolor7", true);
        f.setChecked("bcolor7", false);
        f.setChecked("ucolors", false);
    } else if (st.tcolor == kTrueColours && st.tcolor2 == kListOn) {
        f.setChecked("ucolors", true);
        f.setChecked("tcolor7", false);
        f.setChecked("bcolor7", false);
    } else if (st.tcolor == kBasicColours) {
        f.setChecked("bcolor7", true);
        f.setChecked("tcolor7", false);
        f.setChecked("ucolors", false);
    }
    readTail(sh);
    reportProblems(sh, static_cast<int>(r.problems.count()), file);
}

void applySettingsSecond(Shapes& sh, const SettingsValues& v, const std::string& file) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    const Reading r = readValues(sh, v);
    readTail(sh);
    f.setChecked("snormal", true);
    f.setChecked("scenter", false);
    if (st.mpattern == kShapeKind) {
        f.setChecked("csingle", true);
        f.setChecked("cpattern", false);
    } else if (st.mpattern == kPatternKind) {
        f.setChecked("csingle", false);
        f.setChecked("cpattern", true);
    }
    if (st.nwait4 != kSlowAnimation) st.nwait4 = kFastAnimation;
    f.setChecked("tslow", st.nwait4 == kSlowAnimation);
    f.setChecked("tfast", st.nwait4 == kFastAnimation);
    sh.setField("Text2", st.swidth);
    sh.setField("Text1", st.complexy2);
    sh.setField("Text4", st.nsides);
    sh.setField("Text3", st.detailf);
    if (st.complexy == kRegularShapes) f.selectOption("Option1", {"Option1", "Option2"});
    if (st.complexy == kFancyShapes) f.selectOption("Option2", {"Option1", "Option2"});
    if (r.seconds) sh.setField("Text5", *r.seconds);
    if (st.sharpf == 1) {
        f.setChecked("ssmooth", false);
        f.setChecked("ssharp", true);
    } else if (st.sharpf == 2) {
        f.setChecked("ssmooth", false);
        f.setChecked("ssharp", false);
    }
    if (st.ntimes < 1) st.ntimes = 1;
    reportProblems(sh, static_cast<int>(r.problems.count()), file);
}

bool readSettingsFirst(Shapes& sh, const std::string& file) {
    return readFileInto(sh, false, file);
}
bool readSettingsSecond(Shapes& sh, const std::string& file) {
    return readFileInto(sh, true, file);
}

Status saveSettings(Shapes& sh) {
    State& st = sh.st;
    readField(sh, kDetailField);
    readField(sh, kSizeField);
    readField(sh, kShapeComplexityField);
    readField(sh, kSidesField);
    const double seconds = readField(sh, kSecondsField, false);
    if (st.ntimes < 1) st.ntimes = 1;
    readField(sh, kSmoothnessField);
    readField(sh, kComplexityField);

    if (!mayReplace(sh, kSettingsFile)) return fail(sh.platform->lastStatus);
    const Status written = writeFileAtomically(kSettingsFile, settingsText(st, seconds));
    if (!written) {
        sh.platform->status("Settings not saved: could not write " + std::string(kSettingsFile) +
                            " (" + written.error().message + ").");
        return written;
    }
    sh.platform->status("Settings saved as " + std::string(kSettingsFile) + " in " +
                        workingFolderName() + ".");
    return {};
}

void restoreDefaults(Shapes& sh) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    st.numsquare = 1;
    st.numcolors = 1;
    for (int i = 1; i <= 100; ++i) st.colorlist[i] = 0;
    const double oldPattern = st.mpattern;
    f.setChecked("tslow", false);
    f.setChecked("tfast", true);
    st.nwait4 = kFastAnimation;
    st.sharpf = 2;
    st.complexy4 = 1;
    f.setText("Text9", "1");
    f.setText("Text10", "2");
    st.tcolor = kTrueColours;
    st.tcolor2 = kListOn;
    f.setChecked("tcolor7", false);
    f.setChecked("bcolor7", false);
    f.setChecked("ucolors", true);
    st.mpattern = kPatternKind;
    st.mpattern2 = kPatternKind;
    f.setChecked("csingle", false);
    f.setChecked("cpattern", true);
    f.setEnabled("sscreen", true);
    f.setText("Text2", "200");
    st.swidth = 200;
    f.setText("Text1", "0");
    st.complexy2 = 0;
    f.setText("Text4", "4");
    st.nsides = 4;
    f.setText("Text3", "16");
    st.detailf = 16;
    f.selectOption("Option2", {"Option1", "Option2"});
    st.complexy = kFancyShapes;
    f.setText("Text5", "10");
    f.setChecked("ssmooth", true);
    f.setChecked("ssharp", false);
    st.sharpf = 0;
    st.centerf = 1;
    f.setChecked("snormal", false);
    f.setChecked("scenter", true);
    const std::string note = "Default settings restored (not saved: use \"Save settings\" to "
                             "keep them).";
    if (st.ssmode == kSaverMode && oldPattern == kShapeKind) {
        makeshape2(sh);
        // Beside the new drawing's code.
        sh.platform->status(note + " " + sh.platform->lastStatus);
        return;
    }
    sh.platform->status(note);
}

} // namespace vx
