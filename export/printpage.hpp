#pragma once
// The printed page: where a drawing goes on the paper, and the one-page PDF file that carries
// it losslessly (8-bit RGB, deflated, never resampled by the viewer or the printer).
#include "base/result.hpp"

#include <string>
#include <string_view>

namespace vx {

class Surface;

// Points (1/72 inch) of the common papers.
constexpr double kA4Width = 595.276, kA4Height = 841.890;
constexpr double kLetterWidth = 612, kLetterHeight = 792;

// The paper as the printer describes it, portrait.
struct Paper {
    double width = kA4Width, height = kA4Height;
    // The widest unprintable edge of the printer; the drawing keeps at least half an inch.
    double margin = 0;
    // Printer dots per inch.
    int dpi = 600;
};

// Where the drawing goes. Each drawing pixel covers dots x dots printer dots; a drawing larger
// than the paper at one dot per pixel is first reduced by a whole factor (each page pixel is
// the mean of reduction x reduction drawing pixels).
struct PageFit {
    bool landscape = false;
    int dots = 1, reduction = 1;
    int imageWidth = 0, imageHeight = 0;        // pixels of the page's image
    double pageWidth = 0, pageHeight = 0;       // points, as the page lies
    double x = 0, y = 0, width = 0, height = 0; // the image's place, points from lower left
};

PageFit fitPage(int width, int height, const Paper& paper);

// The bytes of a PDF file with one page of the given paper holding the drawing, centred.
// Fails only when there is no memory for the page.
Result<std::string> pagePdf(const Surface& drawing, const Paper& paper, std::string_view title);

} // namespace vx
