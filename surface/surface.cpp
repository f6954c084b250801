#include "surface/surface.hpp"

#include "surface/numeric.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vx {

int32_t qbColor(int n) {
    static const int32_t table[16] = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return table[n & 15];
}

Surface::Surface(int w, int h, int32_t back) : back_(back & 0xFFFFFF) {
    w_ = std::max(0, w);
    h_ = std::max(0, h);
    px_.assign(static_cast<size_t>(w_) * h_, static_cast<uint32_t>(back_));
}

void Surface::resize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == w_ && h == h_) return;
    std::vector<uint32_t> n(static_cast<size_t>(w) * h, static_cast<uint32_t>(back_));
    const int cw = std::min(w, w_), ch = std::min(h, h_);
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            n[static_cast<size_t>(y) * w + x] = px_[static_cast<size_t>(y) * w_ + x] & kMask;
    px_.swap(n);
    w_ = w;
    h_ = h;
    dirtyTop_ = 0;
    dirtyBottom_ = -1;
}

int32_t Surface::point(double x, double y) const { return pixel(toInt32(x), toInt32(y)); }

void Surface::segment(double x1, double y1, double x2, double y2, int32_t colour) {
    // The start pixel, and the end pixel the same rounded distance away.
    const int ax = toInt32(x1), ay = toInt32(y1);
    const double ddx = x2 - x1, ddy = y2 - y1;
    if (!(std::isfinite(ddx) && std::isfinite(ddy))) return;
    const int bx = ax + toInt32(ddx), by = ay + toInt32(ddy);
    int dx = std::abs(bx - ax), dy = -std::abs(by - ay);
    const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    int err = dx + dy, x = ax, y = ay;
    // Bresenham; long lines far off the surface still end because both axes only approach.
    while (!(x == bx && y == by)) {
        setPixel(x, y, colour);
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

namespace {
struct Rect {
    int x1, y1, x2, y2;
};
// Box corners to an ordered pixel rectangle; coordinates far off the surface are pinned so
// that the integer arithmetic cannot overflow.
Rect order(double x1, double y1, double x2, double y2) {
    auto pin = [](double v) { return toInt32(clampTo(std::isfinite(v) ? v : 0, -1e8, 1e8)); };
    Rect r{pin(x1), pin(y1), pin(x2), pin(y2)};
    if (r.x1 > r.x2) std::swap(r.x1, r.x2);
    if (r.y1 > r.y2) std::swap(r.y1, r.y2);
    return r;
}
} // namespace

void Surface::box(double x1, double y1, double x2, double y2, int32_t colour) {
    const Rect r = order(x1, y1, x2, y2);
    const uint32_t c = static_cast<uint32_t>(colour) & kMask;
    const int lx = std::max(r.x1, 0), rx = std::min(r.x2, w_ - 1);
    for (int y : {r.y1, r.y2})
        if (y >= 0 && y < h_ && lx <= rx)
            std::fill(px_.begin() + static_cast<size_t>(y) * w_ + lx,
                      px_.begin() + static_cast<size_t>(y) * w_ + rx + 1, c);
    const int ty = std::max(r.y1, 0), by = std::min(r.y2, h_ - 1);
    for (int x : {r.x1, r.x2})
        if (x >= 0 && x < w_)
            for (int y = ty; y <= by; ++y) px_[static_cast<size_t>(y) * w_ + x] = c;
}

void Surface::fillBox(double x1, double y1, double x2, double y2, int32_t colour) {
    const Rect r = order(x1, y1, x2, y2);
    const uint32_t c = static_cast<uint32_t>(colour) & kMask;
    const int lx = std::max(r.x1, 0), rx = std::min(r.x2, w_ - 1);
    const int ty = std::max(r.y1, 0), by = std::min(r.y2, h_ - 1);
    if (lx > rx) return;
    for (int y = ty; y <= by; ++y)
        std::fill(px_.begin() + static_cast<size_t>(y) * w_ + lx,
                  px_.begin() + static_cast<size_t>(y) * w_ + rx + 1, c);
}

void Surface::cls() {
    std::fill(px_.begin(), px_.end(), static_cast<uint32_t>(back_));
    dirtyTop_ = 0;
    dirtyBottom_ = -1;
}

void Surface::setBackColor(int32_t colour) {
    back_ = colour & 0xFFFFFF;
    cls();
}

uint32_t Surface::nextTag() {
    // Filled pixels carry the fill's own tag in the top byte, so that pixels that already had
    // the fill colour are told apart from those this fill has reached. Tags are recycled
    // after 255 fills; only the rows fills have touched need the old tags wiped.
    if (++tag_ > 255) {
        for (int y = std::max(dirtyTop_, 0); y <= std::min(dirtyBottom_, h_ - 1); ++y) {
            uint32_t* row = px_.data() + static_cast<size_t>(y) * w_;
            for (int x = 0; x < w_; ++x) row[x] &= kMask;
        }
        dirtyTop_ = h_;
        dirtyBottom_ = -1;
        tag_ = 1;
    }
    return tag_ << 24;
}

int Surface::floodFill(int x, int y, int32_t border) {
    lastFill_ = 0;
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(w_) ||
        static_cast<unsigned>(y) >= static_cast<unsigned>(h_))
        return 0;
    const uint32_t b = static_cast<uint32_t>(border) & kMask;
    if ((px_[static_cast<size_t>(y) * w_ + x] & kMask) == b) return 0;
    const uint32_t fv = fill_ | nextTag();
    uint32_t* const base = px_.data();
    const int w = w_, h = h_;
    auto inside = [b, fv](uint32_t p) { return (p & kMask) != b && p != fv; };
    int top = y, bottom = y;

    stack_.clear();
    stack_.push_back({x, x, y, 1});
    stack_.push_back({x, x, y - 1, -1});
    while (!stack_.empty()) {
        Span s = stack_.back();
        stack_.pop_back();
        if (s.y < 0 || s.y >= h) continue;
        uint32_t* row = base + static_cast<size_t>(s.y) * w;
        int x1 = s.x1, x2 = s.x2;
        int xs = x1;
        bool any = false;
        if (inside(row[xs])) {
            while (xs > 0 && inside(row[xs - 1])) row[--xs] = fv;
            if (xs < x1) {
                any = true;
                stack_.push_back({xs, x1 - 1, s.y - s.dy, -s.dy});
            }
        }
        while (x1 <= x2) {
            while (x1 < w && inside(row[x1])) row[x1++] = fv, any = true;
            if (x1 > xs) {
                any = true;
                stack_.push_back({xs, x1 - 1, s.y + s.dy, s.dy});
                if (x1 - 1 > x2) stack_.push_back({x2 + 1, x1 - 1, s.y - s.dy, -s.dy});
            }
            ++x1;
            while (x1 < x2 && !inside(row[x1])) ++x1;
            xs = x1;
        }
        if (any) {
            top = std::min(top, s.y);
            bottom = std::max(bottom, s.y);
        }
    }
    dirtyTop_ = std::min(dirtyTop_, top);
    dirtyBottom_ = std::max(dirtyBottom_, bottom);
    lastFill_ = 1;
    return 1;
}

void Surface::paint(const Surface& src, int dx, int dy, int sx, int sy, int w, int h) {
    // Clip the source rectangle and the destination together.
    if (sx < 0) w += sx, dx -= sx, sx = 0;
    if (sy < 0) h += sy, dy -= sy, sy = 0;
    if (dx < 0) w += dx, sx -= dx, dx = 0;
    if (dy < 0) h += dy, sy -= dy, dy = 0;
    w = std::min({w, src.w_ - sx, w_ - dx});
    h = std::min({h, src.h_ - sy, h_ - dy});
    if (w <= 0 || h <= 0) return;
    for (int r = 0; r < h; ++r) {
        const uint32_t* s = src.px_.data() + static_cast<size_t>(sy + r) * src.w_ + sx;
        uint32_t* d = px_.data() + static_cast<size_t>(dy + r) * w_ + dx;
        for (int i = 0; i < w; ++i) d[i] = s[i] & kMask;
    }
}

void Surface::copyRows(int dy, int sy, int n) {
    if (sy < 0) n += sy, dy -= sy, sy = 0;
    if (dy < 0) n += dy, sy -= dy, dy = 0;
    n = std::min({n, h_ - sy, h_ - dy});
    if (n <= 0 || w_ <= 0) return;
    std::memcpy(px_.data() + static_cast<size_t>(dy) * w_,
                px_.data() + static_cast<size_t>(sy) * w_,
                static_cast<size_t>(n) * w_ * sizeof(uint32_t));
    // Fill tags travel with the pixels: the copied rows need the same wipe as their source.
    dirtyTop_ = std::min(dirtyTop_, dy);
    dirtyBottom_ = std::max(dirtyBottom_, dy + n - 1);
}

void Surface::repeatAcross(int x, int y, int period, int n) {
    if (y < 0) n += y, y = 0;
    n = std::min(n, h_ - y);
    if (n <= 0 || x < 0 || period <= 0 || x + period >= w_) return;
    for (int r = y; r < y + n; ++r) {
        uint32_t* row = px_.data() + static_cast<size_t>(r) * w_ + x;
        const int len = w_ - x;
        // Doubling: each copy reads only what is already repeated, never its own output.
        for (int done = period; done < len;) {
            const int k = std::min(done, len - done);
            std::memcpy(row + done, row, static_cast<size_t>(k) * sizeof(uint32_t));
            done += k;
        }
    }
    dirtyTop_ = std::min(dirtyTop_, y);
    dirtyBottom_ = std::max(dirtyBottom_, y + n - 1);
}

void Surface::exportRgbx(uint32_t* dst, int stride) const { exportRgbx(dst, stride, 0, 0, w_, h_); }

void Surface::exportRgbx(uint32_t* dst, int stride, int x0, int y0, int w, int h) const {
    for (int y = 0; y < h; ++y) {
        const uint32_t* s = px_.data() + static_cast<size_t>(y0 + y) * w_ + x0;
        uint32_t* d = dst + static_cast<size_t>(y) * stride;
        for (int x = 0; x < w; ++x) d[x] = s[x] | 0xFF000000u;
    }
}

bool Surface::operator==(const Surface& o) const {
    if (w_ != o.w_ || h_ != o.h_) return false;
    for (size_t i = 0; i < px_.size(); ++i)
        if ((px_[i] & kMask) != (o.px_[i] & kMask)) return false;
    return true;
}

} // namespace vx
