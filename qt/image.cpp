#include "qt/image.hpp"

#include "platform/files.hpp"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace vx {

bool copyToImage(const Surface& s, QImage& img, const QRect& r) {
    // RGB32, the format windows show without converting: 0xFFRRGGBB, where the surface holds
    // red in the low byte (and a fill's private mark in the top byte).
    if (img.width() != s.width() || img.height() != s.height() ||
        img.format() != QImage::Format_RGB32)
        img = QImage(s.width(), s.height(), QImage::Format_RGB32);
    if (img.isNull()) return false;
    const QRect a = r & QRect(0, 0, s.width(), s.height());
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const uint32_t* src = s.rowData(y) + a.left();
        auto* dst = reinterpret_cast<uint32_t*>(img.scanLine(y)) + a.left();
        for (int x = 0; x < a.width(); ++x) {
            const uint32_t c = src[x];
            dst[x] = 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
        }
    }
    return true;
}

QColor toQColor(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QIcon swatchIcon(const std::vector<int32_t>& colours) {
    // A square of at most 16 of the colours, taken evenly from first to last, in rows that
    // each fill the width, framed; at two sizes for ordinary and dense screens.
    constexpr int kMost = 16;
    const int n = std::min<int>(static_cast<int>(colours.size()), kMost);
    const int rows = std::max(1, static_cast<int>(std::sqrt(n)));
    QIcon icon;
    for (int side : {16, 32}) {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        for (int r = 0; r < rows && n > 0; ++r) {
            const int first = r * n / rows, last = (r + 1) * n / rows;
            for (int i = first; i < last; ++i) {
                const size_t k =
                    n == 1 ? 0 : static_cast<size_t>(i) * (colours.size() - 1) / (n - 1);
                const int32_t c = colours[k];
                const int x0 = (i - first) * side / (last - first);
                const int x1 = (i - first + 1) * side / (last - first);
                p.fillRect(x0, r * side / rows, x1 - x0, (r + 1) * side / rows - r * side / rows,
                           toQColor(c));
            }
        }
        p.setPen(QColor(96, 96, 96));
        p.drawRect(0, 0, side - 1, side - 1);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QImage toImage(const Surface& s) {
    QImage img;
    if (!copyToImage(s, img, QRect(0, 0, s.width(), s.height()))) return {};
    return img;
}

namespace {

Result<Surface> readPicture(QImageReader& reader) {
    QImage img = reader.read();
    if (img.isNull()) return fail(reader.errorString().toStdString());
    img = img.convertToFormat(QImage::Format_RGB32);
    if (img.isNull()) return fail("not enough memory for the picture");
    Surface s(img.width(), img.height());
    for (int j = 0; j < img.height(); ++j) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(j));
        for (int i = 0; i < img.width(); ++i)
            s.setPixel(i, j, qRed(row[i]) | qGreen(row[i]) << 8 | qBlue(row[i]) << 16);
    }
    return s;
}

uint32_t little(std::string_view b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

uint32_t big(std::string_view b, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

// Qt reads a bitmap cut short as a whole picture with made-up rows, and gives other formats
// cut short an error that does not say so: the end of a bitmap, PNG or JPEG is checked here.
std::optional<std::string> cutShort(std::string_view b) {
    const std::string missing = "the file is cut short: its end is missing";
    if (b.size() >= 30 && b.substr(0, 2) == "BM") {
        const uint32_t dib = little(b, 14, 4);
        const bool core = dib == 12;
        const int64_t w = core ? little(b, 18, 2) : static_cast<int32_t>(little(b, 18, 4));
        const int64_t h = core ? little(b, 20, 2) : static_cast<int32_t>(little(b, 22, 4));
        const uint32_t bits = little(b, core ? 24 : 28, 2);
        const uint32_t packing = core || b.size() < 34 ? 0 : little(b, 30, 4);
        // Only a header that makes sense tells how long the file must be.
        if (std::llabs(w) > (1 << 20) || std::llabs(h) > (1 << 20) ||
            (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
            return std::nullopt;
        // Rows are padded to four bytes; the last row's padding may be left out.
        const uint64_t row = (static_cast<uint64_t>(std::llabs(w)) * bits + 7) / 8;
        const uint64_t stride = (row + 3) / 4 * 4;
        const uint64_t rows = static_cast<uint64_t>(std::llabs(h));
        const uint64_t need =
            packing == 0 || packing == 3 || packing == 6
                ? little(b, 10, 4) + (rows == 0 ? 0 : stride * (rows - 1) + row)
                : (b.size() >= 38 ? little(b, 10, 4) + uint64_t{little(b, 34, 4)} : 0);
        if (b.size() >= need) return std::nullopt;
        return "the file is cut short: it ends after " + std::to_string(b.size()) + " of its " +
               std::to_string(need) + " bytes";
    }
    if (b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) {
        // Chunk by chunk up to the closing one; every step moves at least 12 bytes on.
        for (uint64_t at = 8; at + 8 <= b.size(); at += 12 + uint64_t{big(b, at)})
            if (b.substr(at + 4, 4) == "IEND") return std::nullopt;
        return missing;
    }
    if (b.substr(0, 2) == "\xFF\xD8") {
        // The image's end marker comes after its last scan; the data within never holds one.
        const size_t scan = b.rfind("\xFF\xDA");
        if (scan != std::string_view::npos && b.find("\xFF\xD9", scan) != std::string_view::npos)
            return std::nullopt;
        return missing;
    }
    return std::nullopt;
}

} // namespace

Result<Surface> readPictureFile(const std::string& file) {
    // Read as bytes first: a pipe or a device under the name must not hold the window.
    const Result<std::string> bytes = readFileStart(file, kPictureReadLimit + 1);
    if (!bytes) return bytes.error();
    if (bytes->size() > kPictureReadLimit)
        return fail("it is larger than " + std::to_string(kPictureReadLimit >> 20) + " MB");
    const size_t dot = file.rfind('.');
    return readPictureData(*bytes, dot == std::string::npos ? "" : file.substr(dot + 1));
}

Result<Surface> readPictureData(std::string_view bytes, const std::string& format) {
    if (const std::optional<std::string> cut = cutShort(bytes)) return fail(*cut);
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    auto attempt = [&data](const QByteArray& hint) {
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, hint);
        return readPicture(reader);
    };
    // By content first, as Qt reads a named file; the extension serves formats without a mark.
    Result<Surface> picture = attempt({});
    if (!picture && !format.empty())
        if (Result<Surface> hinted = attempt(QByteArray::fromStdString(format).toLower()))
            return hinted;
    return picture;
}

} // namespace vx
