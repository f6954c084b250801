#pragma once
// The favourites file in the user's data folder: read as it is, and changed only under a lock
// beside it, after reading it again, so that two windows adding at once lose nothing.
#include "base/result.hpp"
#include "model/favourites.hpp"

#include <string>

namespace vx {

constexpr const char* kFavouritesFile = "favourites";

// $XDG_DATA_HOME/vortalis/favourites (~/.local/share/vortalis/ without it); "" when there
// is no home folder.
std::string favouritesPath();

// The file as it is; no file is no favourites. A file too large to be read whole is an error.
Result<FavouritesText> readFavourites(const std::string& file);

// Adds a favourite at the end (the newest). False, and nothing written, when the code is there
// already. *now receives the file as it is afterwards.
Result<bool> addFavourite(const std::string& file, const FavouriteLine& line,
                          FavouritesText* now = nullptr);
// Removes the line with this text. False when it is not there (another window removed it).
Result<bool> removeFavourite(const std::string& file, const std::string& lineText,
                             FavouritesText* now = nullptr);

// The date and time now, as a favourite keeps it: 2025-03-14T16:09:26+0100.
std::string favouriteDate();

} // namespace vx
