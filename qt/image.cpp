#include "qt/image.hpp"

#include <QBuffer>
#include <QImageReader>

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

} // namespace

Result<Surface> readPictureFile(const std::string& file) {
    QImageReader reader(QString::fromStdString(file));
    return readPicture(reader);
}

Result<Surface> readPictureData(std::string_view bytes) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return readPicture(reader);
}

} // namespace vx
