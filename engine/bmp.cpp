#include "engine/bmp.hpp"

#include "surface/surface.hpp"

#include <cstdint>

namespace vx {

namespace {

void put16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::string encodeBmp24(const Surface& s, int dotsPerMetre) {
    const uint32_t w = static_cast<uint32_t>(s.width() > 0 ? s.width() : 0);
    const uint32_t h = static_cast<uint32_t>(s.height() > 0 ? s.height() : 0);
    const uint32_t stride = (w * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * h;
    std::string out;
    out.reserve(54 + dataSize);
    out += "BM";
    put32(out, 54 + dataSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40); // BITMAPINFOHEADER
    put32(out, w);
    put32(out, h); // positive: bottom row first
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // no compression
    put32(out, dataSize);
    put32(out, static_cast<uint32_t>(dotsPerMetre));
    put32(out, static_cast<uint32_t>(dotsPerMetre));
    put32(out, 0);
    put32(out, 0);
    for (uint32_t row = h; row-- > 0;) {
        const uint32_t* px = s.rowData(static_cast<int>(row));
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t c = px[x];
            out.push_back(static_cast<char>((c >> 16) & 0xFF)); // blue
            out.push_back(static_cast<char>((c >> 8) & 0xFF));  // green
            out.push_back(static_cast<char>(c & 0xFF));         // red
        }
        out.append(stride - w * 3, '\0');
    }
    return out;
}

} // namespace vx
