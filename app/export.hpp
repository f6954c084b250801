#pragma once
// Drawings that leave the program at full quality: vector files traced from the regions,
// posters enlarged by whole factors, wallpapers at the screen's size and single tiles. The
// renderer and the "Export" menu share these.
#include "app/render.hpp"
#include "app/shapes.hpp"

#include <optional>
#include <string>

namespace vx {

struct PictureFile {
    RenderOptions::Format format = RenderOptions::Format::Png;
    int scale = 1;
    int dotsPerMetre = 0; // 0: a PNG states none, a BMP states 96 dots per inch
    int dpi = 96;         // pixels per inch of an SVG or PDF page at scale 1
    std::string code;     // kept in the file when there is one
    // The drawing the picture shows, made again for a vector file's outline as the pens drew
    // it; tile: the picture is one period of its pattern.
    std::optional<Drawing> drawing;
    bool tile = false;
    bool plotter = false; // an SVG of the outline's lines alone
};

// The bytes of the picture's file: a BMP or PNG enlarged row by row without an enlarged copy,
// or an SVG or PDF of its traced regions. *note, when given, receives what the user should
// know of the file (an outline traced from the pixels), or "".
Result<std::string> encodePicture(const Surface& picture, const PictureFile& f,
                                  std::string* note = nullptr);

// What encodePicture notes when a drawing cannot be made again for its pens.
inline constexpr const char* kTracedOutline =
    "the outline is traced from the pixels, as the drawing could not be made again";

// One period of a pattern: the square of side s - 1 from (1, 1) that the tiling repeats.
Result<Surface> patternTile(const Drawing& d);

// The largest enlargement of a w x h picture within the surface limits, at most kRenderMaxScale.
int largestScale(int w, int h);

// The "Export" menu: each acts on the drawing on screen and says in the status line what it
// wrote and where, or why not.
void exportSvgClick(Shapes& sh);
void exportPdfClick(Shapes& sh);
void posterClick(Shapes& sh);
void wallpaperClick(Shapes& sh);
// "Record video...": screen-saver mode from the drawing on screen, at the window's size, or
// the growth of that drawing, as a numbered "video" file, recorded while the window goes on.
void recordVideoClick(Shapes& sh);

} // namespace vx
