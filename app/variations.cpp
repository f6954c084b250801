#include "app/variations.hpp"

#include "app/render.hpp"
#include "model/fields.hpp"
#include "surface/shrink.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <thread>

namespace vx {

namespace {

constexpr uint64_t kLastColouring = UINT32_MAX;

// The numbers of one deal of one kind, from the drawing's seed.
Random dealStream(const Drawing& d, VariationKind kind, int deal) {
    const uint64_t salt = (static_cast<uint64_t>(deal) << 2 | static_cast<uint64_t>(kind)) + 1;
    return Random(d.seed ^ (salt * 0x9E3779B97F4A7C15ULL) ^ 0x7A11A710D5EEDULL);
}

// A setting a nudge moves, and the steps it may move by (either way).
struct Nudge {
    const FieldSpec& field;
    std::array<double, 4> steps;
    const char* caption;
};
const Nudge kNudges[] = {{kSizeField, {10, 20, 30, 50}, "Size"},
                         {kDetailField, {1, 2, 3, 5}, "Detail"},
                         {kComplexityField, {2, 4, 6, 8}, "Complexity"},
                         {kSmoothnessField, {1, 2, 1, 2}, "Smoothness"}};
constexpr int kStyle = 4; // the fifth setting: regular or fancy

// The values a nudge of setting k may give that no variation of the deal has yet.
std::vector<double> freshValues(const DrawSettings& s, int k, const std::vector<Drawing>& taken) {
    std::vector<double> out;
    const Nudge& n = kNudges[k];
    const double now = s.*n.field.setting;
    for (double step : n.steps)
        for (double v : {now - step, now + step}) {
            const bool seen = std::find(out.begin(), out.end(), v) != out.end() ||
                              std::any_of(taken.begin(), taken.end(), [&](const Drawing& t) {
                                  return t.settings.*n.field.setting == v;
                              });
            if (v >= n.field.lo && v <= n.field.hi && !seen) out.push_back(v);
        }
    return out;
}

// One setting of d moved, setting `first` if it still can, else the next that can.
bool nudge(const Drawing& d, int first, Random& r, std::vector<Drawing>& out) {
    for (int i = 0; i < 5; ++i) {
        const int k = (first + i) % 5;
        Drawing v = d;
        if (k == kStyle) {
            const bool done = std::any_of(out.begin(), out.end(), [&](const Drawing& t) {
                return t.settings.fancy != d.settings.fancy;
            });
            if (done) continue;
            v.settings.fancy = !d.settings.fancy;
        } else {
            const std::vector<double> values = freshValues(d.settings, k, out);
            if (values.empty()) continue;
            v.settings.*kNudges[k].field.setting =
                values[static_cast<size_t>(r.upTo(static_cast<double>(values.size())) - 1)];
        }
        out.push_back(v);
        return true;
    }
    return false;
}

std::vector<Drawing> nudged(const Drawing& d, Random& r) {
    // Every setting once, in an order of the deal's own, then three more at random.
    std::array<int, 5> order{0, 1, 2, 3, 4};
    for (int i = 4; i > 0; --i)
        std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(r.upTo(i + 1) - 1)]);
    std::vector<Drawing> out;
    for (int i = 0; i < kVariations; ++i)
        if (!nudge(d, i < 5 ? order[static_cast<size_t>(i)] : r.upTo(5) - 1, r, out)) break;
    return out;
}

std::vector<Drawing> otherSeeds(const Drawing& d, Random& r) {
    std::vector<Drawing> out;
    std::vector<uint64_t> used{d.seed};
    for (int i = 0; i < kVariations; ++i) {
        Drawing v = d;
        // Seeds of 32 bits, as the window's own, keep the codes short.
        for (int tries = 0; tries < 64; ++tries) {
            v.seed = static_cast<uint64_t>(std::floor(r.next() * 4294967296.0));
            if (std::find(used.begin(), used.end(), v.seed) == used.end()) break;
        }
        used.push_back(v.seed);
        v.newColours = 0;
        out.push_back(v);
    }
    return out;
}

} // namespace

std::optional<VariationKind> variationKind(const std::string& name) {
    if (name == "colours" || name == "colors") return VariationKind::Colours;
    if (name == "seeds") return VariationKind::Seeds;
    if (name == "settings") return VariationKind::Settings;
    return std::nullopt;
}

uint32_t nextColouring(uint32_t k) {
    return k < kLastColouring ? k + 1 : 1;
}

std::vector<Drawing> variations(const Drawing& d, VariationKind kind, int deal,
                                const ColourSettings& colours) {
    deal = std::max(deal, 0);
    if (kind == VariationKind::Colours) {
        std::vector<Drawing> out;
        for (int i = 0; i < kVariations; ++i) {
            Drawing v = d;
            v.settings.colour = colours;
            const uint64_t ahead = static_cast<uint64_t>(deal) * kVariations + i;
            v.newColours = static_cast<uint32_t>((d.newColours + ahead) % kLastColouring + 1);
            out.push_back(v);
        }
        return out;
    }
    Random r = dealStream(d, kind, deal);
    return kind == VariationKind::Seeds ? otherSeeds(d, r) : nudged(d, r);
}

std::string variationCaption(const Drawing& d, const Drawing& v, VariationKind kind) {
    if (kind == VariationKind::Colours) return "New colours " + std::to_string(v.newColours);
    if (kind == VariationKind::Seeds) return "Seed " + std::to_string(v.seed);
    for (const Nudge& n : kNudges)
        if (v.settings.*n.field.setting != d.settings.*n.field.setting)
            return std::string(n.caption) + " " + numberText(v.settings.*n.field.setting);
    return v.settings.fancy ? "Shapes Fancy" : "Shapes Regular";
}

VariationGrid variationGrid(const Box& area, int drawingW, int drawingH, int caption) {
    const int bw = std::max(1, (area.w - 4 * kGridGap) / 3);
    const int bh = std::max(1, (area.h - 4 * kGridGap) / 3);
    const int room = std::max(1, bh - caption);
    const double dw = std::max(1, drawingW), dh = std::max(1, drawingH);
    const double scale = std::min(bw / dw, room / dh);
    const int pw = std::clamp(static_cast<int>(dw * scale), 1, bw);
    const int ph = std::clamp(static_cast<int>(dh * scale), 1, room);
    VariationGrid g;
    for (int i = 0; i < 9; ++i) {
        Box& b = g.cells[static_cast<size_t>(i)];
        b = {area.x + kGridGap + (i % 3) * (bw + kGridGap),
             area.y + kGridGap + (i / 3) * (bh + kGridGap), bw, bh};
        g.pictures[static_cast<size_t>(i)] = {b.x + (bw - pw) / 2, b.y + (room - ph) / 2, pw, ph};
    }
    return g;
}

Surface variationPicture(const Drawing& d, int w, int h) {
    return shrink(renderView(d), w, h);
}

Surface variationSheet(const Drawing& centre, const std::vector<Drawing>& eight,
                       const Surface* centreView) {
    Surface sheet(centre.width, centre.height, kBorder);
    const VariationGrid g =
        variationGrid({0, 0, centre.width, centre.height}, centre.width, centre.height, 0);
    std::array<Surface, 9> pictures;
    std::atomic<int> next{0};
    std::exception_ptr failed;
    std::atomic<bool> failing{false};
    auto work = [&] {
        for (int i; (i = next++) < 9;) {
            const Box& p = g.pictures[static_cast<size_t>(i)];
            try {
                if (i == kCentreCell)
                    pictures[static_cast<size_t>(i)] = centreView
                                                           ? shrink(*centreView, p.w, p.h)
                                                           : variationPicture(centre, p.w, p.h);
                else if (static_cast<size_t>(i < kCentreCell ? i : i - 1) < eight.size())
                    pictures[static_cast<size_t>(i)] = variationPicture(
                        eight[static_cast<size_t>(i < kCentreCell ? i : i - 1)], p.w, p.h);
            } catch (...) {
                if (!failing.exchange(true)) failed = std::current_exception();
            }
        }
    };
    // Each thread holds one whole drawing at a time: together no more than the largest one.
    const long long pixels = std::max(1LL, 1LL * centre.width * centre.height);
    const unsigned byMemory = static_cast<unsigned>(std::max(1LL, kMaxSurfacePixels / pixels));
    const unsigned n = std::clamp(std::min(std::thread::hardware_concurrency(), byMemory), 1u, 9u);
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < n; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    if (failed) std::rethrow_exception(failed);
    for (int i = 0; i < 9; ++i) {
        const Box& p = g.pictures[static_cast<size_t>(i)];
        const Surface& s = pictures[static_cast<size_t>(i)];
        sheet.paint(s, p.x, p.y, 0, 0, s.width(), s.height());
    }
    return sheet;
}

} // namespace vx
