// What a user waits for on the favourites page with 1,000 favourites at 1920 x 1080: the page
// shown, and the page with every thumbnail in view made.
#include "app/favourites.hpp"
#include "app/favstore.hpp"
#include "model/code.hpp"
#include "platform/files.hpp"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

// A data folder of the benchmark's own holding n favourites of random settings, as "Random
// settings" makes them.
class FavouritesFolder {
  public:
    explicit FavouritesFolder(int n) {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "vortalis-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir_ = tmpl;
        setenv("XDG_DATA_HOME", dir_.c_str(), 1);
        vx::Random r(20250314);
        vx::FavouritesText f;
        for (int i = 0; i < n; ++i) {
            vx::Drawing d;
            d.seed = static_cast<uint64_t>(i) * 7919 + 1;
            vx::randomiseSettings(d, {}, r);
            f.lines.push_back(vx::favouriteLine(vx::drawingCode(d), "2025-03-14T16:09:26+0100"));
        }
        std::filesystem::create_directories(dir_ / "vortalis");
        if (!vx::writeFileAtomically(vx::favouritesPath(), vx::favouritesFileText(f))) std::abort();
    }
    ~FavouritesFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

  private:
    std::filesystem::path dir_;
};

void openPage(benchmark::State& state, bool thumbnails) {
    FavouritesFolder folder(1000);
    vx::Shapes sh;
    sh.surface = vx::Surface(1920, 1080);
    for (auto _ : state) {
        vx::favouritesClick(sh);
        if (thumbnails) vx::waitForFavourites(sh);
        state.PauseTiming();
        if (!sh.favouritesPage || sh.favouritesPage->entries.size() != 1000) std::abort();
        state.counters["thumbnails"] = static_cast<double>(sh.favouritesPage->thumbnails.size());
        vx::closeFavourites(sh);
        state.ResumeTiming();
    }
}

void BM_FavouritesPageShown_1000(benchmark::State& state) {
    openPage(state, false);
}
void BM_FavouritesOpen_1000(benchmark::State& state) {
    openPage(state, true);
}

} // namespace

BENCHMARK(BM_FavouritesPageShown_1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FavouritesOpen_1000)->Unit(benchmark::kMillisecond);
