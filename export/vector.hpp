#pragma once
// Vector files of a traced drawing: SVG, and a one-page PDF of our own writing.
#include "base/result.hpp"
#include "export/trace.hpp"

#include <string>

namespace vx {

struct VecPage {
    int scale = 1; // the page is this many times the drawing's pixel size
    int dpi = 96;  // pixels per inch of the drawing at scale 1 (the PDF's page size)
    std::string title;
};

// The SVG is drawn without smoothing of edges, as the drawing's own pixels are, so that it
// shows the drawing's exact colours at any size; the curves themselves stay smooth.
std::string svgFile(const VecDrawing& d, const VecPage& page);

// PDF pages are 3 to 14400 units (of 1/72 inch) a side.
constexpr double kPdfLeastSide = 3, kPdfMostSide = 14400;

// Units of the PDF page for each pixel of a w x h drawing: as the page's dpi and scale ask,
// unless that page would be smaller or larger than PDF's pages may be.
double pdfUnitsPerPixel(int w, int h, const VecPage& page);

// A PDF 1.4 file of one page, its content Flate-compressed.
Result<std::string> pdfFile(const VecDrawing& d, const VecPage& page);

} // namespace vx
