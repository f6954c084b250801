#pragma once
// PNG files written row by row: a drawing enlarged by a whole factor never exists as a whole
// enlarged image, only one enlarged row at a time.
#include "base/result.hpp"

#include <string>
#include <utility>
#include <vector>

namespace vx {

class Surface;

struct PngOptions {
    int scale = 1;        // each surface pixel becomes a scale x scale block
    int dotsPerMetre = 0; // 0: the file states no resolution
    std::vector<std::pair<std::string, std::string>> texts; // keyword, text (Latin-1)
};

// An 8-bit palette image when the surface holds at most 256 colours, else 8-bit RGB.
Result<std::string> encodePng(const Surface& s, const PngOptions& o = {});

} // namespace vx
