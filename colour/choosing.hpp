#pragma once
// Colour choosing for both generators: the first-pass draw with its refusals, the rule for the
// diagonal fills of eight-sided drawings, the census of colour areas and the recolouring pass
// that gives the largest areas the user's colour list in order.
#include "core/state.hpp"
#include "surface/numeric.hpp"

#include <cstdint>

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
ColourSource colourSource(const State& st);

// Whether the recolouring pass runs: the user's list is on and not empty.
bool recolouringOn(const State& st);

// One colour choice per drawing. Keeps lastpick, the recent colours (recentcolors, with
// recentCount as the count n) and the census in the State, as the rest of the program sees them.
class ColourChooser {
  public:
    ColourChooser(State& st, Random& rng);

    // Start of a scan row (and of the drawing): the recent colours are forgotten.
    void startRow() { st_.recentCount = 0; }

    // A fill colour for a white scan point. kWhite means: fill nothing. The value 2 (a true
    // colour draw of 2) is returned as it is; the generators leave the point white for it.
    int32_t firstPass();

    // A colour for the diagonal fill points of an eight-sided drawing; kWhite: fill nothing.
    int32_t eightSided();

    // Census: empties it, and counts the colour c seen at a scan point (x, y).
    void startCensus();
    void census(int32_t c, double x, double y);

    // The recolouring pass, after startRecolouring: each call gives the next colour and the
    // census point whose region gets it, until it returns false.
    struct Refill {
        int32_t colour = 0;
        double x = 0;
        int32_t y = 0;
    };
    void startRecolouring() { listPos_ = 0; }
    bool nextRefill(Refill& out);

  private:
    int32_t candidate();
    bool recent(int32_t c) const;
    void clearExhaustedFlags();

    State& st_;
    Random& rng_;
    ColourSource source_;
    int lastCensus_ = 0; // entry of the last census colour: neighbouring points mostly repeat it
    int listPos_ = 0;
};

} // namespace vx
