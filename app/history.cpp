#include "app/history.hpp"

#include "app/fields.hpp"
#include "app/generators.hpp"
#include "model/code.hpp"

#include <algorithm>

namespace vx {

namespace {

void markColourMode(Shapes& sh) {
    const State& st = sh.st;
    sh.form.setChecked("bcolor7", st.tcolor == kBasicColours);
    sh.form.setChecked("tcolor7", st.tcolor == kTrueColours && st.tcolor2 == kListOff);
    sh.form.setChecked("ucolors", st.tcolor == kTrueColours && st.tcolor2 == kListOn);
}

void showCode(Shapes& sh, const std::string* code) {
    if (!code) return; // at an end of the history
    const Result<Drawing> d = decodeDrawing(*code);
    if (d)
        showDrawing(sh, *d, false);
    else
        sh.platform->status(d.error().message); // a scale too large for its code
}

} // namespace

void showDrawing(Shapes& sh, const Drawing& d, bool addToHistory) {
    State& st = sh.st;
    const DrawSettings& s = d.settings;
    for (const FieldSpec* f : kDrawingFields)
        if (f->setting != &DrawSettings::shapeComplexity) sh.setField(f->name, s.*f->setting);
    sh.setField(kSidesField.name, sidesAsDrawn(s.sides));
    st.complexy = s.fancy ? kFancyShapes : kRegularShapes;
    sh.form.selectOption(s.fancy ? "Option2" : "Option1", {"Option1", "Option2"});

    st.tcolor = s.colour.tcolor;
    st.tcolor2 = s.colour.tcolor2;
    markColourMode(sh);
    if (st.tcolor2 == kListOn) {
        // The list the drawing used, and nothing after it.
        const size_t n = std::min(s.colour.list.size(), st.colorlist.size() - 2);
        size_t last = 1;
        while (last < st.colorlist.size() && st.colorlist[last] != 0) ++last;
        for (size_t i = 1; i <= std::max(n, last); ++i)
            st.colorlist[i] = i <= n ? s.colour.list[i - 1] : 0;
        st.numcolors = std::min<double>(64, static_cast<double>(n) + 1);
    }
    if (st.tcolor == kImportedColours) {
        // The scale the drawing was drawn from.
        const size_t n = std::min(s.colour.scale.size(), st.importcolors.size() - 1);
        std::copy_n(s.colour.scale.begin(), n, st.importcolors.begin() + 1);
        st.cgf = static_cast<double>(n);
    }

    const bool pattern = d.kind == DrawingKind::Pattern;
    st.mpattern = pattern ? 1 : 0;
    sh.form.setChecked("csingle", !pattern);
    sh.form.setChecked("cpattern", pattern);
    DrawRequest again;
    again.seed = d.seed;
    again.record = addToHistory;
    again.newColours = d.newColours;
    if (pattern)
        makeshape2(sh, again);
    else
        makeshape(sh, again);
}

void previousDrawingClick(Shapes& sh) {
    showCode(sh, sh.history.back());
}

void nextDrawingClick(Shapes& sh) {
    showCode(sh, sh.history.forward());
}

void copyCodeClick(Shapes& sh) {
    const std::string* code = sh.history.current();
    if (!code) {
        sh.platform->status("No drawing has been made yet.");
        return;
    }
    sh.platform->copyText(*code);
    sh.platform->status("Drawing code " + *code + " copied.");
}

void goToCodeClick(Shapes& sh) {
    std::optional<std::string> text = sh.platform->askText("Go to drawing code", "Drawing code:");
    if (!text) return;
    // A long code pasted from a mail or a document comes broken over lines.
    std::erase_if(*text, [](char c) { return c == '\n' || c == '\r' || c == '\t'; });
    if (text->empty()) return;
    const Result<Drawing> d = decodeDrawing(*text);
    if (!d) {
        sh.platform->status(d.error().message);
        return;
    }
    showDrawing(sh, *d, true);
}

void markHistoryEnds(Shapes& sh) {
    sh.form.setEnabled("prevdrawing", sh.history.canGoBack());
    sh.form.setEnabled("nextdrawing", sh.history.canGoForward());
}

std::string longestDrawingCode() {
    Drawing d;
    d.seed = ~uint64_t{0};
    d.settings.size = 399.5;
    d.settings.colour.list.assign(64, 0xFFFFFF);
    d.newColours = UINT32_MAX;
    return drawingCode(d);
}

} // namespace vx
