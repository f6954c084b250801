#include "export/printpage.hpp"

#include "export/pdf.hpp"
#include "surface/surface.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>
#include <zlib.h>

namespace vx {

namespace {

// Around the drawing, whatever the printer could print.
constexpr double kLeastMargin = 36;

std::string num(double v) {
    // Not printf: the desktop's language must not turn the point into a comma.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
    std::string s(buf, r.ptr);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

PageFit fitOn(int w, int h, double pageW, double pageH, const Paper& paper) {
    PageFit f;
    f.pageWidth = pageW;
    f.pageHeight = pageH;
    const double perPoint = paper.dpi / 72.0;
    const double margin = std::max(kLeastMargin, paper.margin);
    const long long usableW =
        std::max(1LL, std::llround(std::floor((pageW - 2 * margin) * perPoint)));
    const long long usableH =
        std::max(1LL, std::llround(std::floor((pageH - 2 * margin) * perPoint)));
    const long long k = std::min(usableW / w, usableH / h);
    if (k >= 1) {
        f.dots = static_cast<int>(k);
    } else {
        const long long m = std::max((w + usableW - 1) / usableW, (h + usableH - 1) / usableH);
        f.reduction = static_cast<int>(m);
    }
    f.imageWidth = (w + f.reduction - 1) / f.reduction;
    f.imageHeight = (h + f.reduction - 1) / f.reduction;
    // The image starts on a whole dot, counted from the top left where printers start.
    const long long dotsW = static_cast<long long>(f.imageWidth) * f.dots;
    const long long dotsH = static_cast<long long>(f.imageHeight) * f.dots;
    const double left = std::floor((pageW * perPoint - dotsW) / 2);
    const double top = std::floor((pageH * perPoint - dotsH) / 2);
    f.x = left / perPoint;
    f.width = dotsW / perPoint;
    f.height = dotsH / perPoint;
    f.y = pageH - (top + dotsH) / perPoint;
    return f;
}

// The page's pixels as 8-bit RGB rows, top row first, deflated.
Status deflateImage(const Surface& s, const PageFit& f, std::string& out) {
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        return fail("the page could not be compressed");
    struct End {
        z_stream& z;
        ~End() { deflateEnd(&z); }
    } end{z};
    const int m = f.reduction;
    std::vector<unsigned char> row(static_cast<size_t>(f.imageWidth) * 3);
    std::vector<uint32_t> sums(row.size());
    std::vector<Bytef> piece(1 << 16);
    // Each round either takes all the input or fills the piece: it ends with the input.
    auto pump = [&](int flush) {
        int ret = Z_OK;
        do {
            z.next_out = piece.data();
            z.avail_out = static_cast<uInt>(piece.size());
            ret = deflate(&z, flush);
            out.append(reinterpret_cast<const char*>(piece.data()), piece.size() - z.avail_out);
        } while (ret == Z_OK && z.avail_out == 0);
        return ret;
    };
    for (int j = 0; j < f.imageHeight; ++j) {
        std::fill(sums.begin(), sums.end(), 0);
        const int y0 = j * m, y1 = std::min(s.height(), y0 + m);
        for (int y = y0; y < y1; ++y) {
            const uint32_t* pixels = s.rowData(y);
            for (int x = 0; x < s.width(); ++x) {
                const uint32_t c = pixels[x];
                uint32_t* p = &sums[static_cast<size_t>(x / m) * 3];
                p[0] += c & 0xFF;
                p[1] += (c >> 8) & 0xFF;
                p[2] += (c >> 16) & 0xFF;
            }
        }
        for (int i = 0; i < f.imageWidth; ++i) {
            const uint32_t n =
                static_cast<uint32_t>((std::min(s.width(), (i + 1) * m) - i * m) * (y1 - y0));
            for (int c = 0; c < 3; ++c) {
                const size_t at = static_cast<size_t>(i) * 3 + c;
                row[at] = static_cast<unsigned char>((sums[at] + n / 2) / n);
            }
        }
        z.next_in = row.data();
        z.avail_in = static_cast<uInt>(row.size());
        if (pump(Z_NO_FLUSH) == Z_STREAM_ERROR) return fail("the page could not be compressed");
    }
    if (pump(Z_FINISH) != Z_STREAM_END) return fail("the page could not be compressed");
    return {};
}

} // namespace

PageFit fitPage(int width, int height, const Paper& paper) {
    if (width <= 0 || height <= 0) return fitOn(1, 1, paper.width, paper.height, paper);
    const PageFit portrait = fitOn(width, height, paper.width, paper.height, paper);
    PageFit landscape = fitOn(width, height, paper.height, paper.width, paper);
    landscape.landscape = true;
    // The larger print wins; at equal size the page turns the way the drawing does.
    const double p = static_cast<double>(portrait.dots) / portrait.reduction;
    const double l = static_cast<double>(landscape.dots) / landscape.reduction;
    if (l > p || (l == p && width > height)) return landscape;
    return portrait;
}

Result<std::string> pagePdf(const Surface& drawing, const Paper& paper, std::string_view title) {
    if (drawing.width() <= 0 || drawing.height() <= 0) return fail("the drawing is empty");
    const PageFit f = fitPage(drawing.width(), drawing.height(), paper);
    try {
        std::string image;
        if (Status s = deflateImage(drawing, f, image); !s) return s.error();
        const std::string content = "q " + num(f.width) + " 0 0 " + num(f.height) + " " + num(f.x) +
                                    " " + num(f.y) + " cm /Im1 Do Q";
        return pdfFile({
            "<< /Type /Catalog /Pages 2 0 R >>",
            "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + num(f.pageWidth) + " " +
                num(f.pageHeight) +
                "] /Resources << /XObject << /Im1 4 0 R >> >> /Contents 5 0 R >>",
            pdfStream("/Type /XObject /Subtype /Image /Width " + std::to_string(f.imageWidth) +
                          " /Height " + std::to_string(f.imageHeight) +
                          " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Interpolate false"
                          " /Filter /FlateDecode",
                      image),
            pdfStream("", content),
            "<< /Title " + pdfText(title) + " /Producer (Vortalis) >>",
        });
    } catch (const std::bad_alloc&) {
        return fail("there was not enough memory for the page");
    }
}

} // namespace vx
