#include "colour/choosing.hpp"

#include "surface/surface.hpp"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

constexpr int kLastSlot = 10000; // last slot of the colour list and of the recent colours
constexpr int kBasicRecent = 13; // basic colours on a row before one may come again

const int32_t kGrey = qbColor(7);

// Colours a region may be filled with: not the border, not white (unfilled), not the grey of
// the size cross, and a real 24-bit value.
bool fillable(int32_t c) {
    return c >= 0 && c <= kWhite && c != kBorder && c != kWhite && c != kGrey;
}

int scaleSize(const State& st) {
    return static_cast<int>(
        clampTo(std::floor(st.cgf), 0, static_cast<double>(st.importcolors.size() - 1)));
}

bool scaleUsable(const State& st) {
    const int n = scaleSize(st);
    for (int i = 1; i <= n; ++i)
        if (fillable(st.importcolors[static_cast<size_t>(i)])) return true;
    return false;
}

int upTo(Random& rng, int n) {
    return static_cast<int>(std::floor(n * rng.next())) + 1;
}

} // namespace

ColourSource colourSource(const State& st) {
    if (st.tcolor == 0) return ColourSource::Basic;
    if (st.tcolor == 2 && scaleUsable(st)) return ColourSource::Imported;
    return ColourSource::True;
}

bool recolouringOn(const State& st) {
    return st.tcolor2 == 1 && st.colorlist[1] != 0;
}

ColourChooser::ColourChooser(State& st, Random& rng)
    : st_(st), rng_(rng), source_(colourSource(st)) {}

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
        return st_.importcolors[static_cast<size_t>(upTo(rng_, scaleSize(st_)))];
    }
    return v;
}

bool ColourChooser::recent(int32_t c) const {
    for (int i = 1; i <= st_.recentCount; ++i)
        if (st_.recentcolors[static_cast<size_t>(i)] == c) return true;
    return false;
}

int32_t ColourChooser::firstPass() {
    // A scale of one colour refuses every repeat, so after kStrictDraws refusals a repeat (of
    // the draw before or of a recent colour) is let through; a point that still gets nothing
    // after kRelaxedDraws more stays white rather than hang the drawing.
    for (int draw = 0; draw < kStrictDraws + kRelaxedDraws; ++draw) {
        const bool strict = draw < kStrictDraws;
        const int32_t v = candidate();
        if (strict && v == st_.lastpick) continue;
        st_.lastpick = v;
        if (source_ == ColourSource::Basic && v == 7) continue;
        const int32_t c = source_ == ColourSource::Basic ? qbColor(v) : v;
        if (!fillable(c)) continue;
        int& n = st_.recentCount;
        if (n < 0 || n >= kLastSlot || (source_ == ColourSource::Basic && n >= kBasicRecent) ||
            (source_ == ColourSource::Imported && n >= scaleSize(st_)))
            n = 0;
        if (strict && recent(c)) continue;
        n += 1;
        st_.recentcolors[static_cast<size_t>(n)] = c;
        return c;
    }
    return kWhite;
}

void ColourChooser::clearExhaustedFlags() {
    // With all thirteen usable numbers taken no draw could pass: free them all again.
    for (int v = 1; v <= 14; ++v)
        if (v != 7 && st_.recentcolors[static_cast<size_t>(v)] != 1) return;
    for (int v = 1; v <= 14; ++v)
        if (v != 7) st_.recentcolors[static_cast<size_t>(v)] = 0;
}

int32_t ColourChooser::eightSided() {
    if (source_ == ColourSource::Basic) clearExhaustedFlags();
    // Bounded like the first pass; the imported scale draws its own entries here too.
    for (int draw = 0; draw < kDiagonalDraws; ++draw) {
        const int32_t v = candidate();
        if (source_ == ColourSource::Basic &&
            (v == 7 || st_.recentcolors[static_cast<size_t>(v)] == 1))
            continue;
        const int32_t c = source_ == ColourSource::Basic ? qbColor(v) : v;
        // The border colour would merge the regions into the outline.
        if (c == kBorder) continue;
        if (source_ == ColourSource::Imported && !fillable(c)) continue;
        if (source_ != ColourSource::Imported && v < 16)
            st_.recentcolors[static_cast<size_t>(v)] = 1;
        return c;
    }
    return kWhite;
}

void ColourChooser::startCensus() {
    st_.censusSize = 0;
    lastCensus_ = 0;
}

void ColourChooser::census(int32_t c, double x, double y) {
    if (c == kBorder || c == 0 || c == kWhite || c < 0) return;
    int& m = st_.censusSize;
    m = std::clamp(m, 0, kCensusEntries);
    int k = 0;
    if (lastCensus_ >= 1 && lastCensus_ <= m &&
        st_.regioncolors[static_cast<size_t>(lastCensus_)] == c) {
        k = lastCensus_;
    } else {
        for (int i = 1; i <= m; ++i)
            if (st_.regioncolors[static_cast<size_t>(i)] == c) {
                k = i;
                break;
            }
    }
    if (k == 0) {
        // No place for the point of a further colour: it is not counted.
        if (m >= kCensusEntries) return;
        k = ++m;
        st_.regioncolors[static_cast<size_t>(k)] = c;
        st_.regioncounts[static_cast<size_t>(k)] = 0;
    }
    lastCensus_ = k;
    st_.regioncounts[static_cast<size_t>(k)] += 1;
    st_.regionx[static_cast<size_t>(k)] = x;
    st_.regiony[static_cast<size_t>(k)] = toInt32(y);
}

bool ColourChooser::nextRefill(Refill& out) {
    const int m = std::clamp(st_.censusSize, 0, kCensusEntries);
    for (;;) {
        // The largest area; ties go to the colour the scan met first.
        int best = 0;
        int32_t bestCount = 0;
        for (int k = 1; k <= m; ++k)
            if (st_.regioncounts[static_cast<size_t>(k)] > bestCount) {
                best = k;
                bestCount = st_.regioncounts[static_cast<size_t>(k)];
            }
        if (best == 0) return false;
        if (++listPos_ > kLastSlot) return false;
        const int32_t slot = st_.colorlist[static_cast<size_t>(listPos_)];
        if (slot == 0) return false;
        st_.regioncounts[static_cast<size_t>(best)] = 0;
        out.x = st_.regionx[static_cast<size_t>(best)];
        out.y = st_.regiony[static_cast<size_t>(best)];
        if (slot > 0) {
            out.colour = slot;
            return true;
        }
        if (const auto* table = shadeTable(st_, slot)) {
            out.colour = (*table)[static_cast<size_t>(upTo(rng_, 20))];
            return true;
        }
        // A code no shade table knows: the area keeps its first-pass colour.
    }
}

} // namespace vx
