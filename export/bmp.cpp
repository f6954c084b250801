#include "export/bmp.hpp"

#include "surface/surface.hpp"

#include <algorithm>
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

std::string encodeBmp24(const Surface& s, int dotsPerMetre, int scale) {
    const uint32_t n = static_cast<uint32_t>(scale > 1 ? scale : 1);
    const uint32_t w = static_cast<uint32_t>(s.width() > 0 ? s.width() : 0) * n;
    const uint32_t h = static_cast<uint32_t>(s.height() > 0 ? s.height() : 0) * n;
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
    // Rows bottom first, blue-green-red, each padded with zeros to a multiple of four bytes.
    out.resize(54 + static_cast<size_t>(dataSize), '\0');
    char* dst = out.data() + 54;
    for (uint32_t row = h; row > 0; row -= n) {
        const uint32_t* px = s.rowData(static_cast<int>((row - 1) / n));
        char* d = dst;
        for (uint32_t x = 0; x < w; ++x, d += 3) {
            const uint32_t c = px[x / n];
            d[0] = static_cast<char>((c >> 16) & 0xFF);
            d[1] = static_cast<char>((c >> 8) & 0xFF);
            d[2] = static_cast<char>(c & 0xFF);
        }
        // The block's other rows are the same.
        for (uint32_t k = 1; k < n; ++k) std::copy(dst, dst + stride, dst + k * stride);
        dst += static_cast<size_t>(stride) * n;
    }
    return out;
}

} // namespace vx
