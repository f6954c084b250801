#pragma once
// Colour choosing for both generators: the first-pass draw with its refusals, the rule for the
// diagonal fills of eight-sided drawings, the census of colour areas and the recolouring pass
// that gives the largest areas the user's colour list in order.
#include "model/drawing.hpp"
#include "surface/numeric.hpp"

#include <cstdint>
#include <vector>

namespace vx {

// Refused draws in a row before a first-pass draw stops refusing a repeat of the draw before
// it or of a recent colour; and as many again before it gives up and leaves the point white.
constexpr int kStrictDraws = 1000;
constexpr int kRelaxedDraws = 1000;
// Draws of the diagonal rule before it gives up (the diagonal points then stay as they are).
constexpr int kDiagonalDraws = 1000;
// Census entries with a remembered point; further colours are not counted.
constexpr int kCensusEntries = 1000;

// Where first-pass colours come from. tcolor 2 with a scale that holds no usable colour
// (empty, or only border, white and light grey) draws true colours, as does any tcolor that
// is neither 0 nor 2.
enum class ColourSource { Basic, True, Imported };
ColourSource colourSource(const ColourSettings& cs);

// Whether the recolouring pass runs: the user's list is on and not empty.
bool recolouringOn(const ColourSettings& cs);

// The colour draws of one drawing: lastpick (carried in from the drawing before), the recent
// colours of the scan row with their count n, and the flags of the eight-sided rule.
class ColourChooser {
  public:
    ColourChooser(const ColourSettings& cs, Random& rng);

    // Start of a scan row (and of the drawing): the recent colours are forgotten.
    void startRow() { n_ = 0; }

    // A fill colour for a white scan point. kWhite means: fill nothing. The value 2 (a true
    // colour draw of 2) is returned as it is; the generators leave the point white for it.
    int32_t firstPass();

    // A colour for the diagonal fill points of an eight-sided drawing; kWhite: fill nothing.
    int32_t eightSided();

    int32_t lastpick() const { return lastpick_; }
    int recentCount() const { return n_; }
    // Slot i of the recent colours: the row's colours in 1..recentCount, and, by colour
    // number, the flags of the eight-sided rule; the two rules share the slots.
    int32_t& slot(int i) { return slots_[static_cast<size_t>(i)]; }

  private:
    int32_t candidate();
    bool recent(int32_t c) const;
    void clearExhaustedFlags();

    const ColourSettings& cs_;
    Random& rng_;
    ColourSource source_;
    int scaleSize_;
    int32_t lastpick_;
    int n_ = 0;
    std::vector<int32_t> slots_;
};

// Which colours cover how many scan points, and the last point of each.
struct CensusEntry {
    int32_t colour = 0;
    int32_t count = 0;
    double x = 0;
    int32_t y = 0; // held as an integer, halves to even
};

class Census {
  public:
    // Counts the colour c seen at a scan point (x, y); border, black and white are not counted.
    void count(int32_t c, double x, double y);
    int size() const { return static_cast<int>(entries.size()); }
    // Entry k is entries[k - 1], in the order the scan met the colours.
    std::vector<CensusEntry> entries;

  private:
    int last_ = 0; // entry of the last colour: neighbouring points mostly repeat it
};

// The recolouring pass: each call gives the next colour of the list and the census point whose
// region gets it, the largest area first, until the list or the census runs out.
struct Refill {
    int32_t colour = 0;
    double x = 0;
    int32_t y = 0;
};

class Recolouring {
  public:
    Recolouring(Census& census, const std::vector<int32_t>& list, Random& rng)
        : census_(census), list_(list), rng_(rng) {}
    bool next(Refill& out);

  private:
    Census& census_;
    const std::vector<int32_t>& list_;
    Random& rng_;
    size_t listPos_ = 0;
};

} // namespace vx
