#include "engine/choosing.hpp"

#include "engine/shades.hpp"
#include "surface/surface.hpp"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

constexpr int kLastSlot = 10000; // last slot of the recent colours
constexpr int kBasicRecent = 13; // basic colours on a row before one may come again

const int32_t kGrey = qbColor(7);

// Colours a region may be filled with: not the border, not white (unfilled), not the grey of
// the size cross, and a real 24-bit value.
bool fillable(int32_t c) {
    return c >= 0 && c <= kWhite && c != kBorder && c != kWhite && c != kGrey;
}

bool scaleUsable(const ColourSettings& cs) {
    return std::any_of(cs.scale.begin(), cs.scale.end(), fillable);
}

int upTo(Random& rng, int n) {
    return static_cast<int>(std::floor(n * rng.next())) + 1;
}

} // namespace

ColourSource colourSource(const ColourSettings& cs) {
    if (cs.tcolor == kBasicColours) return ColourSource::Basic;
    if (cs.tcolor == kImportedColours && scaleUsable(cs)) return ColourSource::Imported;
    return ColourSource::True;
}

bool recolouringOn(const ColourSettings& cs) {
    return cs.tcolor2 == kListOn && !cs.list.empty();
}

ColourChooser::ColourChooser(const ColourSettings& cs, Random& rng)
    : cs_(cs), rng_(rng), source_(colourSource(cs)), scaleSize_(static_cast<int>(cs.scale.size())),
      lastpick_(cs.lastpick), slots_(kLastSlot + 1, 0) {
    // The eight-sided rule never draws black, light grey or white.
    slots_[0] = slots_[7] = slots_[15] = 1;
}

// The number of a draw: a table number 1..14, a true colour, or an entry of the scale. The
// first random number is drawn in every mode.
int32_t ColourChooser::candidate() {
    const int32_t v = upTo(rng_, 14);
    switch (source_) {
    case ColourSource::Basic:
        return v;
    case ColourSource::True:
        return upTo(rng_, 16777215);
    case ColourSource::Imported:
        return cs_.scale[static_cast<size_t>(upTo(rng_, scaleSize_) - 1)];
    }
    return v;
}

bool ColourChooser::recent(int32_t c) const {
    for (int i = 1; i <= n_; ++i)
        if (slots_[static_cast<size_t>(i)] == c) return true;
    return false;
}

int32_t ColourChooser::firstPass() {
    // A scale of one colour refuses every repeat, so after kStrictDraws refusals a repeat (of
    // the draw before or of a recent colour) is let through; a point that still gets nothing
    // after kRelaxedDraws more stays white rather than hang the drawing.
    for (int draw = 0; draw < kStrictDraws + kRelaxedDraws; ++draw) {
        const bool strict = draw < kStrictDraws;
        const int32_t v = candidate();
        if (strict && v == lastpick_) continue;
        lastpick_ = v;
        if (source_ == ColourSource::Basic && v == 7) continue;
        const int32_t c = source_ == ColourSource::Basic ? qbColor(v) : v;
        if (!fillable(c)) continue;
        if (n_ < 0 || n_ >= kLastSlot || (source_ == ColourSource::Basic && n_ >= kBasicRecent) ||
            (source_ == ColourSource::Imported && n_ >= scaleSize_))
            n_ = 0;
        if (strict && recent(c)) continue;
        n_ += 1;
        slots_[static_cast<size_t>(n_)] = c;
        return c;
    }
    return kWhite;
}

void ColourChooser::clearExhaustedFlags() {
    // With all thirteen usable numbers taken no draw could pass: free them all again.
    for (int v = 1; v <= 14; ++v)
        if (v != 7 && slots_[static_cast<size_t>(v)] != 1) return;
    for (int v = 1; v <= 14; ++v)
        if (v != 7) slots_[static_cast<size_t>(v)] = 0;
}

int32_t ColourChooser::eightSided() {
    if (source_ == ColourSource::Basic) clearExhaustedFlags();
    // Bounded like the first pass; the imported scale draws its own entries here too.
    for (int draw = 0; draw < kDiagonalDraws; ++draw) {
        const int32_t v = candidate();
        if (source_ == ColourSource::Basic && (v == 7 || slots_[static_cast<size_t>(v)] == 1))
            continue;
        const int32_t c = source_ == ColourSource::Basic ? qbColor(v) : v;
        // The border colour would merge the regions into the outline.
        if (c == kBorder) continue;
        if (source_ == ColourSource::Imported && !fillable(c)) continue;
        if (source_ != ColourSource::Imported && v < 16) slots_[static_cast<size_t>(v)] = 1;
        return c;
    }
    return kWhite;
}

void Census::count(int32_t c, double x, double y) {
    if (c == kBorder || c == 0 || c == kWhite || c < 0) return;
    const int m = size();
    int k = 0;
    if (last_ >= 1 && last_ <= m && entries[static_cast<size_t>(last_ - 1)].colour == c) {
        k = last_;
    } else {
        for (int i = 1; i <= m; ++i)
            if (entries[static_cast<size_t>(i - 1)].colour == c) {
                k = i;
                break;
            }
    }
    if (k == 0) {
        // No place for the point of a further colour: it is not counted.
        if (m >= kCensusEntries) return;
        entries.push_back(CensusEntry{c, 0, 0, 0});
        k = m + 1;
    }
    last_ = k;
    CensusEntry& e = entries[static_cast<size_t>(k - 1)];
    e.count += 1;
    e.x = x;
    e.y = toInt32(y);
}

bool Recolouring::next(Refill& out) {
    for (;;) {
        // The largest area; ties go to the colour the scan met first.
        CensusEntry* best = nullptr;
        int32_t bestCount = 0;
        for (CensusEntry& e : census_.entries)
            if (e.count > bestCount) {
                best = &e;
                bestCount = e.count;
            }
        if (!best) return false;
        if (listPos_ >= list_.size()) return false;
        const int32_t slot = list_[listPos_++];
        if (slot == 0) return false;
        best->count = 0;
        out.x = best->x;
        out.y = best->y;
        if (slot > 0) {
            out.colour = slot;
            return true;
        }
        if (const ShadeTable* table = shadeTable(slot)) {
            out.colour = (*table)[static_cast<size_t>(upTo(rng_, 20))];
            return true;
        }
        // A code no shade table knows: the area keeps its first-pass colour.
    }
}

} // namespace vx
