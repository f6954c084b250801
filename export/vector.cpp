#include "export/vector.hpp"

#include "export/pdf.hpp"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace vx {

namespace {

// A coordinate with at most two decimals and no trailing zeros.
void num(std::string& out, double v, int decimals = 2) {
    const double unit = std::pow(10.0, decimals);
    v = std::round(v * unit) / unit;
    if (v == 0) v = 0; // no "-0"
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    char* end = r.ptr;
    if (decimals > 0) {
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
    }
    out.append(buf, end);
}

void point(std::string& out, const VecPoint& p, char sep = ' ') {
    num(out, p.x);
    out += ' ';
    num(out, p.y);
    out += sep;
}

std::string hexColour(int32_t c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return buf;
}

std::string xmlText(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

} // namespace

std::string svgFile(const VecDrawing& d, const VecPage& page) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "
                      "xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    out += std::to_string(static_cast<long long>(d.width) * page.scale) + "\" height=\"" +
           std::to_string(static_cast<long long>(d.height) * page.scale) + "\" viewBox=\"0 0 " +
           std::to_string(d.width) + " " + std::to_string(d.height) +
           "\" shape-rendering=\"crispEdges\">\n";
    if (!page.title.empty()) out += "<title>" + xmlText(page.title) + "</title>\n";
    for (const VecLayer& l : d.layers) {
        if (l.outlines.empty()) continue;
        out += "<path fill=\"" + hexColour(l.colour) + "\" d=\"";
        for (const VecOutline& o : l.outlines) {
            out += 'M';
            point(out, o.segments.back().to, ' ');
            char last = 0;
            for (const VecSegment& s : o.segments) {
                const char cmd = s.curve ? 'C' : 'L';
                if (cmd != last) out += cmd;
                last = cmd;
                if (s.curve) {
                    point(out, s.c1);
                    point(out, s.c2);
                }
                point(out, s.to);
            }
            out.back() = 'Z';
        }
        out += "\"/>\n";
    }
    out += "</svg>\n";
    return out;
}

double pdfUnitsPerPixel(int w, int h, const VecPage& page) {
    double units = 72.0 / std::max(page.dpi, 1) * std::max(page.scale, 1);
    const double shorter = std::max(std::min(w, h), 1), longer = std::max(std::max(w, h), 1);
    if (longer * units > kPdfMostSide) units = kPdfMostSide / longer;
    // A sliver of a drawing keeps its shorter side at the least size, whatever the longer.
    if (shorter * units < kPdfLeastSide) units = kPdfLeastSide / shorter;
    return units;
}

Result<std::string> pdfFile(const VecDrawing& d, const VecPage& page) {
    const double ptPerPx = pdfUnitsPerPixel(d.width, d.height, page);
    std::string content;
    // Drawing coordinates, y downwards, from the top-left corner of the page.
    content += "q ";
    num(content, ptPerPx, 6);
    content += " 0 0 ";
    num(content, -ptPerPx, 6);
    content += " 0 ";
    num(content, d.height * ptPerPx, 4);
    content += " cm\n";
    for (const VecLayer& l : d.layers) {
        if (l.outlines.empty()) continue;
        for (int shift : {0, 8, 16}) {
            num(content, ((l.colour >> shift) & 0xFF) / 255.0, 6);
            content += ' ';
        }
        content += "rg\n";
        for (const VecOutline& o : l.outlines) {
            point(content, o.segments.back().to);
            content += "m\n";
            for (const VecSegment& s : o.segments) {
                if (s.curve) {
                    point(content, s.c1);
                    point(content, s.c2);
                }
                point(content, s.to);
                content += s.curve ? "c\n" : "l\n";
            }
            content += "h\n";
        }
        content += "f\n";
    }
    content += "Q\n";

    uLongf packedSize = compressBound(static_cast<uLong>(content.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(content.data()),
                  static_cast<uLong>(content.size()), 1) != Z_OK)
        return fail("the compressor failed");
    packed.resize(packedSize);

    std::string w, h;
    num(w, d.width * ptPerPx, 4);
    num(h, d.height * ptPerPx, 4);
    return pdfFile({
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + w + " " + h +
            "] /Contents 4 0 R /Resources << >> >>",
        pdfStream("/Filter /FlateDecode", packed),
        "<< /Producer (Vortalis)" + (page.title.empty() ? "" : " /Title " + pdfText(page.title)) +
            " >>",
    });
}

} // namespace vx
