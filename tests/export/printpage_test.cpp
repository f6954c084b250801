// The printed page: where the drawing goes on the paper and the PDF file that carries it.
#include "export/printpage.hpp"
#include "surface/surface.hpp"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace vx;

namespace {

const Paper kA4At600{}, kA4At300{kA4Width, kA4Height, 0, 300};

// The image of a PDF file this program wrote: size, its dictionary, and its RGB bytes.
struct PdfImage {
    int width = 0, height = 0;
    std::string dictionary, rgb;
};

PdfImage imageOf(const std::string& pdf) {
    PdfImage img;
    const size_t from = pdf.find("<< /Type /XObject /Subtype /Image");
    const size_t to = pdf.find(">>\nstream\n", from);
    if (from == std::string::npos || to == std::string::npos) return img;
    img.dictionary = pdf.substr(from, to - from);
    auto number = [&](const std::string& key) {
        const size_t at = img.dictionary.find("/" + key + " ");
        return at == std::string::npos ? 0
                                       : std::atoi(img.dictionary.c_str() + at + key.size() + 2);
    };
    img.width = number("Width");
    img.height = number("Height");
    uLongf size = static_cast<uLongf>(img.width) * img.height * 3;
    img.rgb.resize(size);
    const int z = uncompress(reinterpret_cast<Bytef*>(img.rgb.data()), &size,
                             reinterpret_cast<const Bytef*>(pdf.data() + to + 10),
                             static_cast<uLong>(number("Length")));
    if (z != Z_OK || size != img.rgb.size()) img.rgb.clear();
    return img;
}

int32_t rgbAt(const PdfImage& img, int x, int y) {
    const auto* p = reinterpret_cast<const unsigned char*>(img.rgb.data()) +
                    (static_cast<size_t>(y) * img.width + x) * 3;
    return p[0] | p[1] << 8 | p[2] << 16;
}

} // namespace

TEST(PrintedPage, TheDrawingLiesCentredOnWholeDotsAsLargeAsWholeDotsAllow) {
    const struct {
        int w, h;
        Paper paper;
        bool landscape;
        int dots, reduction;
    } cases[] = {
        {1920, 1080, kA4At600, true, 3, 1},
        {600, 800, kA4At300, false, 3, 1},
        {500, 500, {kLetterWidth, kLetterHeight, 0, 600}, false, 9, 1}, // a tie keeps portrait
        {2000, 1000, kA4At600, true, 3, 1},
        {2000, 1000, {kA4Width, kA4Height, 72, 600}, true, 2, 1}, // the printer's wide margin
        {16000, 9000, kA4At300, true, 1, 5},                      // too large: 1/5 of it
    };
    for (const auto& c : cases) {
        const PageFit f = fitPage(c.w, c.h, c.paper);
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        EXPECT_EQ(f.landscape, c.landscape);
        EXPECT_EQ(f.dots, c.dots);
        EXPECT_EQ(f.reduction, c.reduction);
        EXPECT_EQ(f.imageWidth, (c.w + c.reduction - 1) / c.reduction);
        EXPECT_EQ(f.imageHeight, (c.h + c.reduction - 1) / c.reduction);
        EXPECT_EQ(f.pageWidth, c.landscape ? c.paper.height : c.paper.width);
        const double dot = 72.0 / c.paper.dpi;
        EXPECT_NEAR(f.width, f.imageWidth * f.dots * dot, 1e-9);
        EXPECT_NEAR(f.height, f.imageHeight * f.dots * dot, 1e-9);
        // Left and top edges on whole dots, opposite margins alike within two dots, none under
        // half an inch.
        const double left = f.x, right = f.pageWidth - f.x - f.width;
        const double top = f.pageHeight - f.y - f.height, bottom = f.y;
        EXPECT_NEAR(left / dot, std::round(left / dot), 1e-6);
        EXPECT_NEAR(top / dot, std::round(top / dot), 1e-6);
        EXPECT_LE(std::abs(left - right), 2 * dot);
        EXPECT_LE(std::abs(top - bottom), 2 * dot);
        EXPECT_GE(std::min({left, right, top, bottom}), std::max(36.0, c.paper.margin) - dot);
    }
}

TEST(PrintedPage, ThePdfCarriesTheDrawingLosslesslyOrAsWholeBlockMeans) {
    // Noise: any resampling or lossy coding would show.
    Surface noise(301, 157);
    uint32_t r = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            r = r * 1664525 + 1013904223;
            noise.setPixel(x, y, static_cast<int32_t>(r >> 8));
        }
    const Result<std::string> pdf = pagePdf(noise, kA4At600, "Vortalis (pattern)");
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->rfind("%PDF-1.4\n", 0), 0u);
    EXPECT_NE(pdf->find("/Title (Vortalis \\(pattern\\))"), std::string::npos);
    // The cross-reference table is where the file says it is.
    const size_t startxref = pdf->rfind("startxref\n");
    ASSERT_NE(startxref, std::string::npos);
    EXPECT_EQ(pdf->compare(std::stoul(pdf->substr(startxref + 10)), 5, "xref\n"), 0);
    const PdfImage img = imageOf(*pdf);
    EXPECT_NE(img.dictionary.find("/ColorSpace /DeviceRGB /BitsPerComponent 8 /Interpolate false"
                                  " /Filter /FlateDecode"),
              std::string::npos);
    ASSERT_EQ(img.width, noise.width());
    ASSERT_EQ(img.height, noise.height());
    ASSERT_FALSE(img.rgb.empty());
    int wrong = 0;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) wrong += rgbAt(img, x, y) != noise.pixel(x, y);
    EXPECT_EQ(wrong, 0);

    // On a paper of 128 x 128 dots to print on, 300 x 290 pixels become 100 x 97 block means.
    Surface big(300, 290, 0x000000);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            if ((x + y) % 2 == 0) big.setPixel(x, y, 0xFF60F0);
    const PdfImage small = imageOf(*pagePdf(big, {200, 200, 0, 72}, "big"));
    ASSERT_EQ(small.width, 100);
    ASSERT_EQ(small.height, 97);
    EXPECT_EQ(rgbAt(small, 0, 0), 0x8E3585);  // 5 of 9 coloured: 0xF0 * 5 / 9 rounds to 0x85
    EXPECT_EQ(rgbAt(small, 1, 0), 0x712B6B);  // 4 of 9
    EXPECT_EQ(rgbAt(small, 0, 96), 0x803078); // the last row holds 2 x 3 pixels, 3 coloured
}
