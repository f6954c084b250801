#include "export/png.hpp"

#include "surface/surface.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <zlib.h>

namespace vx {

namespace {

constexpr size_t kMaxPalette = 256;
constexpr size_t kIdatBytes = 1 << 18;

void putBe32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(v >> shift));
}

void chunk(std::string& out, const char* type, std::string_view data) {
    putBe32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* p = reinterpret_cast<const Bytef*>(out.data() + start);
    putBe32(out, static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(out.size() - start))));
}

// The colours of the surface in order of first appearance, or nothing past 256 of them.
std::vector<uint32_t> paletteOf(const Surface& s, std::unordered_map<uint32_t, uint8_t>& index) {
    std::vector<uint32_t> colours;
    for (int y = 0; y < s.height(); ++y) {
        const uint32_t* row = s.rowData(y);
        uint32_t last = ~0u;
        for (int x = 0; x < s.width(); ++x) {
            const uint32_t c = row[x] & 0xFFFFFFu;
            if (c == last) continue;
            last = c;
            if (index.count(c)) continue;
            if (colours.size() == kMaxPalette) return {};
            index.emplace(c, static_cast<uint8_t>(colours.size()));
            colours.push_back(c);
        }
    }
    return colours;
}

// Deflates rows into IDAT chunks as the compressed bytes come.
class IdatWriter {
  public:
    explicit IdatWriter(std::string& out) : out_(out), buf_(kIdatBytes) {
        ok_ = deflateInit(&z_, 6) == Z_OK;
    }
    ~IdatWriter() { deflateEnd(&z_); }
    bool ok() const { return ok_; }
    bool write(const unsigned char* data, size_t n, int flush = Z_NO_FLUSH) {
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(n);
        for (int guard = 0; ok_; ++guard) {
            z_.next_out = reinterpret_cast<Bytef*>(buf_.data()) + used_;
            z_.avail_out = static_cast<uInt>(buf_.size() - used_);
            const int r = deflate(&z_, flush);
            used_ = buf_.size() - z_.avail_out;
            if (r == Z_STREAM_ERROR || guard > (1 << 20)) ok_ = false;
            if (used_ == buf_.size()) emit();
            if (flush == Z_FINISH ? r == Z_STREAM_END : z_.avail_in == 0 && z_.avail_out > 0) break;
        }
        return ok_;
    }
    bool finish() {
        write(nullptr, 0, Z_FINISH);
        if (used_ > 0) emit();
        return ok_;
    }

  private:
    void emit() {
        chunk(out_, "IDAT", std::string_view(buf_.data(), used_));
        used_ = 0;
    }
    std::string& out_;
    std::vector<char> buf_;
    size_t used_ = 0;
    z_stream z_{};
    bool ok_ = false;
};

// The signature and the chunks before the image data: size and colour type, resolution,
// texts, and the palette when there is one.
std::string headChunks(uint64_t w, uint64_t h, const std::vector<uint32_t>& palette,
                       const PngOptions& o) {
    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    putBe32(ihdr, static_cast<uint32_t>(w));
    putBe32(ihdr, static_cast<uint32_t>(h));
    ihdr += static_cast<char>(8);                       // bit depth
    ihdr += static_cast<char>(palette.empty() ? 2 : 3); // RGB or palette
    ihdr.append(3, '\0');                               // deflate, adaptive filters, no interlace
    chunk(out, "IHDR", ihdr);
    if (o.dotsPerMetre > 0) {
        std::string phys;
        putBe32(phys, static_cast<uint32_t>(o.dotsPerMetre));
        putBe32(phys, static_cast<uint32_t>(o.dotsPerMetre));
        phys += '\1'; // per metre
        chunk(out, "pHYs", phys);
    }
    for (const auto& [key, text] : o.texts) chunk(out, "tEXt", key + '\0' + text);
    if (!palette.empty()) {
        std::string plte;
        for (uint32_t c : palette) {
            plte += static_cast<char>(c & 0xFF);
            plte += static_cast<char>((c >> 8) & 0xFF);
            plte += static_cast<char>((c >> 16) & 0xFF);
        }
        chunk(out, "PLTE", plte);
    }
    return out;
}

// One surface row enlarged scale times across, as palette indices. Runs of one colour are
// long: the index is looked up only where the colour changes.
void packIndexed(const uint32_t* px, int width, int scale,
                 const std::unordered_map<uint32_t, uint8_t>& index, unsigned char* d) {
    uint32_t last = ~0u;
    uint8_t at = 0;
    for (int x = 0; x < width; ++x, d += scale) {
        const uint32_t c = px[x] & 0xFFFFFFu;
        if (c != last) {
            last = c;
            at = index.find(c)->second;
        }
        std::memset(d, at, static_cast<size_t>(scale));
    }
}

// One surface row enlarged scale times across, as RGB bytes.
void packRgb(const uint32_t* px, int width, int scale, unsigned char* d) {
    for (int x = 0; x < width; ++x) {
        const uint32_t c = px[x] & 0xFFFFFFu;
        for (int k = 0; k < scale; ++k, d += 3) {
            d[0] = static_cast<unsigned char>(c & 0xFF);
            d[1] = static_cast<unsigned char>((c >> 8) & 0xFF);
            d[2] = static_cast<unsigned char>((c >> 16) & 0xFF);
        }
    }
}

// Every row once with filter None, then its repeats as "Up" rows: all zeros after the filter
// byte, which cost the compressor next to nothing.
bool writeRows(IdatWriter& idat, const Surface& s, int scale, size_t rowBytes,
               const std::unordered_map<uint32_t, uint8_t>* index) {
    std::vector<unsigned char> row(1 + rowBytes);
    std::vector<unsigned char> same(1 + rowBytes, 0);
    same[0] = 2;
    for (int y = 0; y < s.height(); ++y) {
        if (index)
            packIndexed(s.rowData(y), s.width(), scale, *index, row.data() + 1);
        else
            packRgb(s.rowData(y), s.width(), scale, row.data() + 1);
        if (!idat.write(row.data(), row.size())) return false;
        for (int k = 1; k < scale; ++k)
            if (!idat.write(same.data(), same.size())) return false;
    }
    return true;
}

} // namespace

Result<std::string> encodePng(const Surface& s, const PngOptions& o) {
    const int scale = std::max(1, o.scale);
    const uint64_t w = static_cast<uint64_t>(s.width()) * scale;
    const uint64_t h = static_cast<uint64_t>(s.height()) * scale;
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return fail("a picture of " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels cannot be a PNG file");
    std::unordered_map<uint32_t, uint8_t> index;
    const std::vector<uint32_t> palette = paletteOf(s, index);
    const bool indexed = !palette.empty();

    std::string out = headChunks(w, h, palette, o);
    IdatWriter idat(out);
    if (!idat.ok()) return fail("not enough memory to compress the picture");
    if (!writeRows(idat, s, scale, w * (indexed ? 1 : 3), indexed ? &index : nullptr) ||
        !idat.finish())
        return fail("the picture could not be compressed");
    chunk(out, "IEND", {});
    return out;
}

} // namespace vx
