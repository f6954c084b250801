#include "model/favourites.hpp"

#include "model/code.hpp"

#include <algorithm>

namespace vx {

namespace {

FavouriteLine readLine(std::string_view raw) {
    FavouriteLine l;
    l.text = std::string(raw);
    std::string_view s = raw;
    if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
    const size_t space = s.find(' ');
    if (space == std::string_view::npos || space == 0 || space + 1 >= s.size()) return l;
    const std::string_view code = s.substr(0, space);
    if (!decodeDrawing(code)) return l;
    l.code = std::string(code);
    l.date = std::string(s.substr(space + 1));
    return l;
}

bool blank(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
}

} // namespace

FavouritesText parseFavourites(std::string_view text) {
    FavouritesText f;
    while (!text.empty()) {
        if (f.lines.size() == kMaxFavouriteLines) {
            f.cut = true;
            break;
        }
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (blank(raw)) continue;
        f.lines.push_back(readLine(raw));
        if (f.lines.back().damaged()) ++f.damaged;
    }
    return f;
}

std::string favouritesFileText(const FavouritesText& f) {
    std::string s;
    for (const FavouriteLine& l : f.lines) s += l.text + "\n";
    return s;
}

FavouriteLine favouriteLine(const std::string& code, const std::string& date) {
    return FavouriteLine{code + " " + date, code, date};
}

bool holdsCode(const FavouritesText& f, std::string_view code) {
    return std::any_of(f.lines.begin(), f.lines.end(),
                       [&](const FavouriteLine& l) { return l.code == code; });
}

} // namespace vx
