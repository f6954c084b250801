#include "app/favstore.hpp"

#include "platform/files.hpp"

#include <algorithm>
#include <ctime>
#include <functional>

namespace vx {

namespace {

// Changes the file under its lock: the change sees the file as it is now and says whether it
// changed anything; only then is the file written, whole or not at all.
Result<bool> changeUnderLock(const std::string& file,
                             const std::function<bool(FavouritesText&)>& change,
                             FavouritesText* now) {
    const size_t slash = file.rfind('/');
    if (slash != std::string::npos && slash > 0)
        if (Status made = makeFolders(file.substr(0, slash)); !made) return made.error();
    const Result<FileLock> lock = FileLock::take(file + ".lock");
    if (!lock) return lock.error();
    Result<FavouritesText> f = readFavourites(file);
    if (!f) return f.error();
    if (f->cut)
        return fail(file + " holds more than " + std::to_string(kMaxFavouriteLines) +
                    " lines, so it is not rewritten");
    const bool changed = change(*f);
    if (changed)
        if (Status written = writeFileAtomically(file, favouritesFileText(*f)); !written)
            return fail("cannot write " + file + " (" + written.error().message + ")");
    if (now) *now = std::move(*f);
    return changed;
}

} // namespace

std::string favouritesPath() {
    const std::string folder = userDataFolder();
    return folder.empty() ? "" : folder + "/" + kFavouritesFile;
}

Result<FavouritesText> readFavourites(const std::string& file) {
    if (!nameTaken(file)) return FavouritesText{};
    const Result<std::string> text = readFileStart(file, kFavouritesReadLimit + 1);
    if (!text) return fail("cannot read " + file + " (" + text.error().message + ")");
    if (text->size() > kFavouritesReadLimit)
        return fail(file + " is larger than " + std::to_string(kFavouritesReadLimit >> 20) +
                    " MB, more than favourites ever are");
    return parseFavourites(*text);
}

Result<bool> addFavourite(const std::string& file, const FavouriteLine& line, FavouritesText* now) {
    return changeUnderLock(
        file,
        [&](FavouritesText& f) {
            if (holdsCode(f, line.code)) return false;
            f.lines.push_back(line);
            return true;
        },
        now);
}

Result<bool> removeFavourite(const std::string& file, const std::string& lineText,
                             FavouritesText* now) {
    return changeUnderLock(
        file,
        [&](FavouritesText& f) {
            const auto it =
                std::find_if(f.lines.begin(), f.lines.end(), [&](const FavouriteLine& l) {
                    return !l.damaged() && l.text == lineText;
                });
            if (it == f.lines.end()) return false;
            f.lines.erase(it);
            return true;
        },
        now);
}

std::string favouriteDate() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[40];
    return std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &local) ? buf : "unknown date";
}

} // namespace vx
