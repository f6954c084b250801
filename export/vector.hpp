#pragma once
// Vector files of a traced drawing: SVG, and a one-page PDF of our own writing.
#include "base/result.hpp"
#include "export/trace.hpp"

#include <string>

namespace vx {

struct VecPage {
    int scale = 1; // the page is this many times the drawing's pixel size
    int dpi = 96;  // pixels per inch of the drawing at scale 1: the page's size on paper
    std::string title;
};

// An SVG file as wide and high in inches as the page, its view box in drawing pixels:
// one Inkscape layer per colour, the fills first and the outline on top, each clipped to the
// page. A repeating drawing's period is written once and placed where its copies go.
std::string svgFile(const VecDrawing& d, const VecPage& page);

// PDF pages are 3 to 14400 units (of 1/72 inch) a side.
constexpr double kPdfLeastSide = 3, kPdfMostSide = 14400;

// Units of the PDF page for each pixel of a w x h drawing: as the page's dpi and scale ask,
// unless that page would be smaller or larger than PDF's pages may be.
double pdfUnitsPerPixel(int w, int h, const VecPage& page);

// The outline's lines alone, for pen plotters and cutters: every copy written out and cut
// half a pen's width inside the page's edges, without fills or clips.
std::string plotterSvgFile(const VecDrawing& d, const VecPage& page);

// A PDF 1.4 file of one page, its content Flate-compressed; a repeating drawing's period is a
// form placed where its copies go.
Result<std::string> pdfFile(const VecDrawing& d, const VecPage& page);

} // namespace vx
