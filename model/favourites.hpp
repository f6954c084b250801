#pragma once
// The favourites file: a drawing code and the date it was kept, one a line, oldest first. A
// line that is no such pair is kept as it is, so that nothing is lost by a rewrite.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The file is read up to this size, and this many lines of it.
constexpr size_t kFavouritesReadLimit = size_t{64} << 20;
constexpr size_t kMaxFavouriteLines = 100000;

struct FavouriteLine {
    std::string text; // the line as it is in the file, without its line end
    std::string code; // empty: the line is damaged
    std::string date;
    bool damaged() const { return code.empty(); }
};

struct FavouritesText {
    std::vector<FavouriteLine> lines; // blank lines left out
    int damaged = 0;
    bool cut = false; // the file had more lines than are read
};

FavouritesText parseFavourites(std::string_view text);
std::string favouritesFileText(const FavouritesText& f);

// The line of a new favourite.
FavouriteLine favouriteLine(const std::string& code, const std::string& date);

// Whether a readable line keeps this code.
bool holdsCode(const FavouritesText& f, std::string_view code);

} // namespace vx
