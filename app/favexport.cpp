// "Export all..." of the favourites page, and the screen saver's favourites.
#include "app/export.hpp"
#include "app/favourites.hpp"
#include "app/favstore.hpp"
#include "app/history.hpp"
#include "model/code.hpp"
#include "platform/files.hpp"

#include <cstdio>
#include <filesystem>
#include <new>

namespace vx {

FavouritesExport::~FavouritesExport() {
    stop = true;
    if (thread.joinable()) thread.join();
}

namespace {

struct ExportItem {
    Drawing drawing;
    std::string code;
};

std::string baseName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// One PNG file a favourite, under the first free "favourite" number, so that no file is ever
// written over; the first failure ends the export.
void exportAll(FavouritesExport& job, const std::vector<ExportItem>& items) {
    for (const ExportItem& item : items) {
        if (job.stop) break;
        PictureFile f;
        f.code = item.code;
        Result<std::string> name = fail("");
        try {
            const Result<std::string> bytes = encodePicture(renderDrawing(item.drawing), f);
            name = bytes ? writeNewNumbered(job.folder + "/favourite", ".png", *bytes)
                         : Result<std::string>(bytes.error());
        } catch (const std::bad_alloc&) {
            name = fail("not enough memory");
        }
        std::lock_guard<std::mutex> lock(job.m);
        if (!name) {
            job.error = name.error().message;
            break;
        }
        (job.first.empty() ? job.first : job.last) = baseName(*name);
        ++job.written;
    }
    job.finished = true;
}

std::string favouritesCount(int n) {
    return std::to_string(n) + (n == 1 ? " favourite" : " favourites");
}

} // namespace

void exportFavouritesClick(Shapes& sh) {
    if (!sh.favouritesPage) return;
    if (sh.favouritesExport) {
        sh.platform->status("The favourites are being exported: " +
                            std::to_string(sh.favouritesExport->written.load()) + " of " +
                            std::to_string(sh.favouritesExport->total) + " written.");
        return;
    }
    const std::vector<FavouriteEntry>& entries = sh.favouritesPage->entries;
    if (entries.empty()) {
        sh.platform->status("There are no favourites to export.");
        return;
    }
    const std::optional<std::string> folder =
        sh.platform->askFolder("Export all favourites as PNG files");
    std::error_code ec;
    if (!folder || folder->empty() || !std::filesystem::is_directory(*folder, ec)) {
        sh.platform->status(folder && !folder->empty() ? *folder + " is not a folder; no "
                                                                   "favourites were exported."
                                                       : "No favourites were exported.");
        return;
    }
    std::vector<ExportItem> items;
    for (const FavouriteEntry& e : entries) {
        items.push_back({e.drawing, e.code});
        items.back().drawing.width = sh.surface.width();
        items.back().drawing.height = sh.surface.height();
    }
    sh.favouritesExport = std::make_unique<FavouritesExport>();
    FavouritesExport& job = *sh.favouritesExport;
    job.folder = *folder;
    job.total = static_cast<int>(items.size());
    job.thread = std::thread([&job, items = std::move(items)] { exportAll(job, items); });
    sh.form.setEnabled(kFavouritesTimer, true);
}

bool noteExportProgress(Shapes& sh) {
    if (!sh.favouritesExport) return false;
    FavouritesExport& job = *sh.favouritesExport;
    if (!job.finished) {
        if (const int n = job.written; n != job.said) {
            job.said = n;
            sh.platform->status("Exporting the favourites as PNG files into " + job.folder + ": " +
                                std::to_string(n) + " of " + std::to_string(job.total) + ".");
        }
        return true;
    }
    if (job.thread.joinable()) job.thread.join();
    const int n = job.written;
    const std::string names =
        n == 0 ? "" : " (" + job.first + (n > 1 ? " to " + job.last : "") + ")";
    if (job.error.empty())
        sh.platform->status("Exported " + favouritesCount(n) + " as PNG files into " + job.folder +
                            names + ".");
    else
        sh.platform->status("Exported " + std::to_string(n) + " of " + favouritesCount(job.total) +
                            " into " + job.folder + names + ", then stopped: " + job.error + ".");
    sh.favouritesExport.reset();
    return false;
}

bool loadSaverFavourites(Shapes& sh, bool say) {
    sh.saverFavourites.clear();
    sh.nextFavourite = 0;
    const std::string file = favouritesPath();
    const Result<FavouritesText> f = file.empty()
                                         ? Result<FavouritesText>(fail("no home folder is known"))
                                         : readFavourites(file);
    if (f)
        for (size_t i = f->lines.size(); i-- > 0;)
            if (Result<Drawing> d = decodeDrawing(f->lines[i].code); !f->lines[i].damaged() && d)
                sh.saverFavourites.push_back(std::move(*d));
    if (!sh.saverFavourites.empty()) return true;
    if (say)
        std::fprintf(stderr, "vortalis: %s; showing random drawings instead\n",
                     f ? ("there are no favourites in " + file).c_str()
                       : ("the favourites cannot be read: " + f.error().message).c_str());
    return false;
}

void showNextFavourite(Shapes& sh) {
    if (sh.saverFavourites.empty()) return;
    const size_t i = sh.nextFavourite % sh.saverFavourites.size();
    sh.nextFavourite = i + 1;
    showDrawing(sh, sh.saverFavourites[i], false);
}

bool showFavouriteAgain(Shapes& sh) {
    if (sh.saverFavourites.empty() || sh.nextFavourite == 0) return false;
    showDrawing(sh, sh.saverFavourites[(sh.nextFavourite - 1) % sh.saverFavourites.size()], false);
    return true;
}

} // namespace vx
