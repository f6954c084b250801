#include "app/saver.hpp"

#include "app/events.hpp"
#include "app/favourites.hpp"
#include "app/generators.hpp"
#include "app/modes.hpp"
#include "app/settings.hpp"
#include "app/startup.hpp"
#include "base/text.hpp"
#include "model/fields.hpp"
#include "platform/files.hpp"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace vx {

std::optional<uint32_t> parseWindowId(const std::string& text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    for (size_t i = hex ? 2 : 0; i < text.size(); ++i)
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(text[i]))
                  : std::isdigit(static_cast<unsigned char>(text[i]))))
            return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno == ERANGE || *end != '\0' || v == 0 || v > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<uint32_t>(v);
}

namespace {

// The file named, else the working folder's, else the one in the user's configuration folder
// (hosts such as xsecurelock run their savers in a folder of their own); "" when there is none.
std::string saverSettingsFile(const SaverOptions& o) {
    if (!o.settingsFile.empty()) return o.settingsFile;
    if (nameTaken(kSettingsFile)) return kSettingsFile;
    const std::string folder = userConfigFolder();
    const std::string user = folder + "/" + kSettingsFile;
    return folder.empty() || !nameTaken(user) ? "" : user;
}

} // namespace

void startSaver(Shapes& sh, const SaverOptions& o, int place) {
    State& st = sh.st;
    ui::Form& f = sh.form;
    const std::string found = saverSettingsFile(o);
    // One that was named or is there but cannot be read is said (once for all screens), and
    // start-up's values stand.
    if (const Result<std::string> r = readFileStart(found, 1); place == 0 && !found.empty() && !r)
        std::fprintf(stderr, "vortalis: cannot read the settings file \"%s\": %s\n",
                     printable(found).c_str(), r.error().message.c_str());
    const std::string file = found.empty() ? kSettingsFile : found;
    // Start-up's values and its two readings of the file, without the main page.
    startValues(sh, file, 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(place));
    st.ffb = 1;
    st.mpattern = kPatternKind;
    st.mpattern2 = kPatternKind;
    st.swidth = 200;
    f.setText("Text2", "200");
    readSettingsSecond(sh, file);

    if (o.seconds) f.setText(kSecondsField.name, *o.seconds);
    if (o.size) f.setText(kSizeField.name, *o.size);
    if (o.detail) f.setText(kDetailField.name, *o.detail);
    if (o.complexity) f.setText(kComplexityField.name, *o.complexity);
    if (o.smoothness) f.setText(kSmoothnessField.name, *o.smoothness);
    const Events& ev = programEvents();
    if (o.single) ev.click(sh, *o.single ? "csingle" : "cpattern");
    if (o.slow) ev.click(sh, *o.slow ? "tslow" : "tfast");
    if (o.fancy) ev.click(sh, *o.fancy ? "Option2" : "Option1");
    if (o.colours)
        ev.click(sh, *o.colours == SaverOptions::Colours::Basic  ? "bcolor7"
                     : *o.colours == SaverOptions::Colours::True ? "tcolor7"
                                                                 : "ucolors");

    sh.loop.phase = kMainLoop;
    sh.loop.lastFrame = sh.platform->steadySeconds();
    // Savers started together begin at different favourites.
    if (o.favourites && loadSaverFavourites(sh, place == 0)) {
        sh.nextFavourite = static_cast<size_t>(place);
        showNextFavourite(sh);
    } else if (st.mpattern == kPatternKind) {
        // A pattern at once; single shapes are drawn by entering the mode.
        makeshape2(sh);
    }
    ssaverClick(sh);
}

} // namespace vx
