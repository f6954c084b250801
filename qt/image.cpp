#include "qt/image.hpp"

namespace vx {

bool copyToImage(const Surface& s, QImage& img, const QRect& r) {
    if (img.width() != s.width() || img.height() != s.height() ||
        img.format() != QImage::Format_RGBX8888)
        img = QImage(s.width(), s.height(), QImage::Format_RGBX8888);
    if (img.isNull()) return false;
    const QRect a = r & QRect(0, 0, s.width(), s.height());
    if (a.isEmpty()) return true;
    // RGBX8888 has the surface's byte order on little-endian machines: red, green, blue, pad.
    auto* dst = reinterpret_cast<uint32_t*>(img.scanLine(a.top())) + a.left();
    s.exportRgbx(dst, static_cast<int>(img.bytesPerLine() / 4), a.left(), a.top(), a.width(),
                 a.height());
    return true;
}

QImage toImage(const Surface& s) {
    QImage img;
    if (!copyToImage(s, img, QRect(0, 0, s.width(), s.height()))) return {};
    return img;
}

} // namespace vx
