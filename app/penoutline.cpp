#include "app/penoutline.hpp"

#include "app/render.hpp"
#include "export/penpath.hpp"

#include <optional>

namespace vx {

namespace {

// The outline's lines on the picture, and what is left unpainted.
struct PictureLines {
    std::vector<VecLine> lines; // a pattern's: of the copy at (0, 0), cut to its period
    std::vector<VecLine> pageLines;
    std::vector<uint8_t> outside;
    int period = 0; // a whole pattern's
};

bool sameOutline(const Surface& a, const Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) == kBorder) != (b.pixel(x, y) == kBorder)) return false;
    return true;
}

bool onRing(const Surface& s, int x, int y) {
    return x == 0 || y == 0 || x == s.width() - 1 || y == s.height() - 1;
}

// Round a single shape: the picture's frame, and the outline colour that no pen marked.
std::vector<uint8_t> shapeOutside(const Surface& picture, const Surface& pens, int dx, int dy) {
    const int w = picture.width(), h = picture.height();
    std::vector<uint8_t> out(static_cast<size_t>(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out[static_cast<size_t>(y) * w + x] =
                onRing(picture, x, y) ||
                (picture.pixel(x, y) == kBorder && pens.pixel(x + dx, y + dy) != kBorder);
    return out;
}

// Without the pens: the frame, and the outline colour reached from it that has no other
// colour beside it.
std::vector<uint8_t> guessedOutside(const Surface& picture) {
    const int w = picture.width(), h = picture.height();
    auto bare = [&](int x, int y) {
        if (onRing(picture, x, y)) return true;
        if (picture.pixel(x, y) != kBorder) return false;
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i)
                if (!onRing(picture, x + i, y + j) && picture.pixel(x + i, y + j) != kBorder)
                    return false;
        return true;
    };
    std::vector<uint8_t> out(static_cast<size_t>(w) * h, 0);
    std::vector<std::pair<int, int>> todo;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (onRing(picture, x, y))
                out[static_cast<size_t>(y) * w + x] = 1, todo.push_back({x, y});
    // Each pixel enters the list once.
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
            uint8_t& o = out[static_cast<size_t>(ny) * w + nx];
            if (!o && bare(nx, ny)) o = 1, todo.push_back({nx, ny});
        }
    }
    return out;
}

std::optional<PictureLines> pictureLines(const Surface& picture, const Drawing& d, bool tile) {
    PenRecorder rec;
    int side = 0;
    Surface remade = renderDrawing(d, &side, &rec);
    const int p = side - 1;
    if (tile && p > 0 && remade.width() > p && remade.height() > p) {
        Surface one(p, p);
        one.paint(remade, 0, 0, 1, 1, p, p);
        remade = std::move(one);
    }
    if (!sameOutline(remade, picture)) return std::nullopt;
    // The pens' canvas onto the picture: the shape's square, or the tile's copy at (1, 1) (at
    // (0, 0) for one tile), starts one pixel inside the square at the centre.
    const RecordStart& st = rec.start();
    const int dx = st.cx - side / 2 + (tile ? 1 : 0), dy = st.cy - side / 2 + (tile ? 1 : 0);
    const std::vector<VecLine> lines = movedLines(penLines(rec), -dx, -dy);
    PictureLines out;
    if (d.kind == DrawingKind::Shape) {
        out.lines = cutLines(lines, {1, 1, side + 1.0, side + 1.0});
        out.outside = shapeOutside(picture, penPixels(rec), dx, dy);
        return out;
    }
    const double o = tile ? 0 : 1;
    out.lines = cutLines(lines, {o, o, o + p, o + p});
    if (!tile) {
        const double w = picture.width(), h = picture.height();
        out.pageLines = {straightLine({0, 0.5}, {w, 0.5}), straightLine({0.5, 0}, {0.5, h})};
        out.period = p;
    }
    return out;
}

} // namespace

VecDrawing tracedDrawing(const Surface& picture, const Drawing* drawing, bool tile) {
    const std::optional<PictureLines> pens =
        drawing ? pictureLines(picture, *drawing, tile) : std::nullopt;
    const bool shape = drawing && drawing->kind == DrawingKind::Shape;
    TraceOptions o;
    if (!pens) {
        if (shape) o.outside = guessedOutside(picture);
        return traceSurface(picture, o);
    }
    o.outside = pens->outside;
    o.period = pens->period;
    o.outlineUnder = true;
    VecDrawing d = traceSurface(picture, o);
    d.outlineLines = true;
    d.pageLines = pens->pageLines;
    // A pattern smaller than its tile is traced whole: its lines are every copy's.
    const int p = pens->period;
    if (d.period > 0 || p <= 0) {
        d.lines = pens->lines;
        return d;
    }
    for (int y = 0; y < d.height; y += p)
        for (int x = 0; x < d.width; x += p) {
            const std::vector<VecLine> copy = movedLines(pens->lines, x, y);
            d.lines.insert(d.lines.end(), copy.begin(), copy.end());
        }
    return d;
}

} // namespace vx
