#pragma once
// A persistent raster surface with the drawing operations both generators use.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vx {

constexpr int32_t kBorder = 1;       // colour of every outline and of the space around shapes
constexpr int32_t kWhite = 16777215; // the cleared surface
constexpr int32_t kListBlack = 2;    // black as the colour list stores it
constexpr int32_t kPictureBack = 0;  // background of the shape picture: the window's black

// The sixteen numbered colours, red in the low byte.
int32_t qbColor(int n);

// The largest surface the program draws on: 16384 pixels a side and 64 Mpx (256 MB) in all.
constexpr int kMaxSurfaceSide = 16384;
constexpr long long kMaxSurfacePixels = 64LL * 1024 * 1024;

struct SurfaceSize {
    int width = 0, height = 0;
};
// A window's size cut to those bounds, the width kept first; what lies beyond is not drawn.
inline SurfaceSize cappedSurfaceSize(int w, int h) {
    w = w < 0 ? 0 : (w > kMaxSurfaceSide ? kMaxSurfaceSide : w);
    h = h < 0 ? 0 : (h > kMaxSurfaceSide ? kMaxSurfaceSide : h);
    if (w > 0 && static_cast<long long>(w) * h > kMaxSurfacePixels)
        h = static_cast<int>(kMaxSurfacePixels / w);
    return {w, h};
}

class Surface {
  public:
    Surface() = default;
    Surface(int w, int h, int32_t back = kWhite);

    // Changes the size, keeping what is drawn where old and new overlap.
    void resize(int w, int h);
    int width() const { return w_; }
    int height() const { return h_; }

    // Line segment; the pixel of the second point is not drawn.
    void segment(double x1, double y1, double x2, double y2, int32_t colour);
    void box(double x1, double y1, double x2, double y2, int32_t colour);
    void fillBox(double x1, double y1, double x2, double y2, int32_t colour);
    void setPixel(int x, int y, int32_t colour) {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(w_) &&
            static_cast<unsigned>(y) < static_cast<unsigned>(h_))
            px_[static_cast<size_t>(y) * w_ + x] = static_cast<uint32_t>(colour) & kMask;
    }
    // Colour at a pixel, -1 outside the surface.
    int32_t pixel(int x, int y) const {
        if (static_cast<unsigned>(x) >= static_cast<unsigned>(w_) ||
            static_cast<unsigned>(y) >= static_cast<unsigned>(h_))
            return -1;
        return static_cast<int32_t>(px_[static_cast<size_t>(y) * w_ + x] & kMask);
    }
    int32_t point(double x, double y) const;

    void cls();
    void setBackColor(int32_t colour);
    int32_t backColor() const { return back_; }

    void setFillColor(int32_t colour) { fill_ = static_cast<uint32_t>(colour) & kMask; }
    int32_t fillColor() const { return static_cast<int32_t>(fill_); }
    // Fills, with the fill colour, the 4-connected region around (x, y) bounded by pixels of
    // the border colour. Pixels of the fill colour inside the region do not stop it.
    // Returns non-zero when it filled.
    int floodFill(int x, int y, int32_t border);
    int16_t lastFill() const { return lastFill_; }

    // First x at or after x on row y whose colour is not a and whose colour masked with mask
    // is not c; width() if there is none.
    int findOther(int y, int x, int32_t a, int32_t c, int32_t mask = 0xFFFFFF) const;

    // Copies a w x h rectangle of src at (sx, sy) to (dx, dy), clipped on both sides.
    void paint(const Surface& src, int dx, int dy, int sx, int sy, int w, int h);

    // Copies n whole rows from row sy to row dy (the two ranges must not overlap), clipped;
    // a block copy for repeating a band of the surface.
    void copyRows(int dy, int sy, int n);
    // Repeats pixels x..x+period-1 of rows y..y+n-1 along each row up to its right edge.
    void repeatAcross(int x, int y, int period, int n);

    // Whole rows of 24-bit colour values; a fill may leave a private mark in the top byte.
    const uint32_t* rowData(int y) const { return px_.data() + static_cast<size_t>(y) * w_; }
    bool operator==(const Surface& o) const;

  private:
    static constexpr uint32_t kMask = 0x00FFFFFFu;
    uint32_t nextTag(uint32_t colour);
    void forgetTags();
    void wipeTags(int left, int top, int right, int bottom);
    void noteCopiedArea(int left, int top, int right, int bottom);

    int w_ = 0, h_ = 0;
    std::vector<uint32_t> px_;
    int32_t back_ = kWhite;
    uint32_t fill_ = 0;
    int16_t lastFill_ = 0;
    struct ColourTags {
        uint32_t tag = 0;
        int left = INT32_MAX, right = -1, top = INT32_MAX, bottom = -1; // area filled so far
    };
    static constexpr size_t kMaxTaggedColours = 4096;
    std::unordered_map<uint32_t, ColourTags> tags_;
    struct Span {
        int x1, x2, y, dy;
    };
    struct RowFill {
        bool any;        // the row had pixels to fill
        int left, right; // how far the fill reached along the row
    };
    RowFill fillSpan(uint32_t* row, int w, const Span& s, uint32_t border, uint32_t fill);
    std::vector<Span> stack_;
};

} // namespace vx
