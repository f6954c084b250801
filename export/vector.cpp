#include "export/vector.hpp"

#include "export/lines.hpp"
#include "export/pdf.hpp"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace vx {

namespace {

// A number with at most `decimals` decimals and no trailing zeros.
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

void point(std::string& out, const VecPoint& p) {
    num(out, p.x);
    out += ' ';
    num(out, p.y);
    out += ' ';
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

// One path's segments, in SVG's path syntax or PDF's operators.
void segments(std::string& out, VecPoint start, const std::vector<VecSegment>& ss, bool closed,
              bool pdf) {
    if (!pdf) out += 'M';
    point(out, start);
    if (pdf) out += "m\n";
    char last = 0;
    for (const VecSegment& s : ss) {
        const char cmd = s.curve ? 'C' : 'L';
        if (!pdf && cmd != last) out += cmd;
        last = cmd;
        if (s.curve) {
            point(out, s.c1);
            point(out, s.c2);
        }
        point(out, s.to);
        if (pdf) out += s.curve ? "c\n" : "l\n";
    }
    if (pdf) {
        if (closed) out += "h\n";
    } else if (closed) {
        out.back() = 'Z';
    } else {
        out.pop_back();
    }
}

std::string layerPath(const VecLayer& l, bool pdf) {
    std::string out;
    for (const VecOutline& o : l.outlines)
        if (!o.segments.empty()) segments(out, o.segments.back().to, o.segments, true, pdf);
    return out;
}

std::string linesPath(const std::vector<VecLine>& lines, bool pdf) {
    std::string out;
    for (const VecLine& l : lines)
        if (!l.segments.empty()) segments(out, l.start, l.segments, l.closed, pdf);
    return out;
}

VecRect layerBounds(const VecLayer& l) {
    std::vector<VecLine> as;
    for (const VecOutline& o : l.outlines)
        if (!o.segments.empty()) as.push_back({o.segments.back().to, o.segments, true});
    return linesBounds(as);
}

// Where the copies of a part with the given bounds go: every copy that reaches the page.
std::vector<std::pair<int, int>> copies(const VecDrawing& d, const VecRect& b) {
    if (d.period <= 0) return {{0, 0}};
    std::vector<std::pair<int, int>> out;
    const int p = d.period;
    for (int y = 0; y < d.height; y += p)
        for (int x = 0; x < d.width; x += p)
            if (b.x1 + x > 0 && b.y1 + y > 0 && b.x0 + x < d.width && b.y0 + y < d.height)
                out.push_back({x, y});
    return out;
}

// A length on paper in inches, to the millionth, rounded down: readers that round a page's
// size in pixels up (at 96 a inch) then give it its pixels and no more.
std::string inches(int pixels, const VecPage& page) {
    std::string out;
    const double in = static_cast<double>(pixels) * std::max(page.scale, 1) / std::max(page.dpi, 1);
    num(out, std::floor(in * 1e6 + 1e-6) / 1e6, 6);
    return out + "in";
}

std::string svgHead(const VecDrawing& d, const VecPage& page) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                      "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                      "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
                      "version=\"1.1\" width=\"";
    out += inches(d.width, page) + "\" height=\"" + inches(d.height, page) + "\" viewBox=\"0 0 " +
           std::to_string(d.width) + " " + std::to_string(d.height) + "\">\n";
    if (!page.title.empty()) out += "<title>" + xmlText(page.title) + "</title>\n";
    return out;
}

constexpr const char* kPen = "fill=\"none\" stroke-width=\"1\" stroke-linecap=\"round\" "
                             "stroke-linejoin=\"round\"";

std::string outlineLayerStart(const VecDrawing& d, bool clip) {
    const std::string c = hexColour(kBorder);
    std::string out =
        "<g id=\"outline\" inkscape:groupmode=\"layer\" inkscape:label=\"outline " + c + "\" ";
    out += d.outlineLines ? std::string(kPen) + " stroke=\"" + c + "\"" : "fill=\"" + c + "\"";
    return out + (clip ? " clip-path=\"url(#page)\">\n" : ">\n");
}

// A layer's part: as a path, or, when it repeats, placed from <defs> where its copies go.
void svgPart(std::string& defs, std::string& body, const std::string& id, const std::string& path,
             const std::vector<std::pair<int, int>>& at, const VecDrawing& d) {
    if (path.empty()) return;
    if (d.period <= 0) {
        body += "<path d=\"" + path + "\"/>\n";
        return;
    }
    defs += "<path id=\"" + id + "\" d=\"" + path + "\"/>\n";
    for (auto [x, y] : at)
        body += "<use xlink:href=\"#" + id + "\" x=\"" + std::to_string(x) + "\" y=\"" +
                std::to_string(y) + "\"/>\n";
}

} // namespace

std::string svgFile(const VecDrawing& d, const VecPage& page) {
    std::string defs = "<defs>\n<clipPath id=\"page\"><rect width=\"" + std::to_string(d.width) +
                       "\" height=\"" + std::to_string(d.height) + "\"/></clipPath>\n";
    std::string body;
    for (const VecLayer& l : d.layers) {
        if (l.outlines.empty()) continue;
        const std::string c = hexColour(l.colour);
        const bool outline = l.colour == kBorder && !d.outlineLines;
        body += outline ? outlineLayerStart(d, true)
                        : "<g id=\"colour-" + c.substr(1) +
                              "\" inkscape:groupmode=\"layer\" inkscape:label=\"" + c +
                              "\" fill=\"" + c + "\" clip-path=\"url(#page)\">\n";
        svgPart(defs, body, "tile-" + c.substr(1), layerPath(l, false), copies(d, layerBounds(l)),
                d);
        body += "</g>\n";
    }
    if (d.outlineLines) {
        body += outlineLayerStart(d, true);
        VecRect b = linesBounds(d.lines);
        b = {b.x0 - 1, b.y0 - 1, b.x1 + 1, b.y1 + 1};
        svgPart(defs, body, "tile-outline", linesPath(d.lines, false), copies(d, b), d);
        if (!d.pageLines.empty()) body += "<path d=\"" + linesPath(d.pageLines, false) + "\"/>\n";
        body += "</g>\n";
    }
    return svgHead(d, page) + defs + "</defs>\n" + body + "</svg>\n";
}

std::string plotterSvgFile(const VecDrawing& d, const VecPage& page) {
    std::string out = svgHead(d, page) + outlineLayerStart(d, false);
    const VecRect inside{0.5, 0.5, d.width - 0.5, d.height - 0.5};
    auto add = [&](const std::vector<VecLine>& lines) {
        const std::string path = linesPath(cutLines(lines, inside), false);
        if (!path.empty()) out += "<path d=\"" + path + "\"/>\n";
    };
    const VecRect b = linesBounds(d.lines);
    for (auto [x, y] : copies(d, {b.x0 - 1, b.y0 - 1, b.x1 + 1, b.y1 + 1}))
        add(x == 0 && y == 0 ? d.lines : movedLines(d.lines, x, y));
    add(d.pageLines);
    return out + "</g>\n</svg>\n";
}

namespace {

Result<std::string> deflated(const std::string& content) {
    uLongf packedSize = compressBound(static_cast<uLong>(content.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(content.data()),
                  static_cast<uLong>(content.size()), 1) != Z_OK)
        return fail("the compressor failed");
    packed.resize(packedSize);
    return packed;
}

std::string pdfColour(int32_t c, const char* op) {
    std::string out;
    for (int shift : {0, 8, 16}) {
        num(out, ((c >> shift) & 0xFF) / 255.0, 6);
        out += ' ';
    }
    return out + op + "\n";
}

constexpr const char* kPdfPen = "1 w 1 J 1 j\n";

// The page's parts: what each paints, and where it goes.
struct PdfPart {
    std::string content;
    VecRect bounds;
};

std::vector<PdfPart> pdfParts(const VecDrawing& d) {
    std::vector<PdfPart> parts;
    for (const VecLayer& l : d.layers)
        if (!l.outlines.empty())
            parts.push_back(
                {pdfColour(l.colour, "rg") + layerPath(l, true) + "f\n", layerBounds(l)});
    if (d.outlineLines && !d.lines.empty()) {
        VecRect b = linesBounds(d.lines);
        parts.push_back({pdfColour(kBorder, "RG") + kPdfPen + linesPath(d.lines, true) + "S\n",
                         {b.x0 - 1, b.y0 - 1, b.x1 + 1, b.y1 + 1}});
    }
    return parts;
}

} // namespace

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
    std::string content = "q ";
    // Drawing coordinates, y downwards, from the top-left corner of the page, which clips.
    num(content, ptPerPx, 6);
    content += " 0 0 ";
    num(content, -ptPerPx, 6);
    content += " 0 ";
    num(content, d.height * ptPerPx, 4);
    content += " cm\n0 0 " + std::to_string(d.width) + " " + std::to_string(d.height) + " re W n\n";
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", "", ""};
    std::string forms;
    for (const PdfPart& part : pdfParts(d)) {
        if (d.period <= 0) {
            content += part.content;
            continue;
        }
        // A form of the part, placed at every copy.
        const Result<std::string> packed = deflated(part.content);
        if (!packed) return packed.error();
        std::string box;
        for (double v : {part.bounds.x0, part.bounds.y0, part.bounds.x1, part.bounds.y1}) {
            num(box, v);
            box += ' ';
        }
        const std::string name = "/T" + std::to_string(objects.size());
        forms += name + " " + std::to_string(objects.size() + 1) + " 0 R ";
        objects.push_back(pdfStream(
            "/Type /XObject /Subtype /Form /BBox [" + box + "] /Filter /FlateDecode", *packed));
        for (auto [x, y] : copies(d, part.bounds))
            content += "q 1 0 0 1 " + std::to_string(x) + " " + std::to_string(y) + " cm " + name +
                       " Do Q\n";
    }
    if (d.outlineLines && !d.pageLines.empty())
        content += pdfColour(kBorder, "RG") + kPdfPen + linesPath(d.pageLines, true) + "S\n";
    content += "Q\n";
    const Result<std::string> packed = deflated(content);
    if (!packed) return packed.error();

    std::string w, h;
    num(w, d.width * ptPerPx, 4);
    num(h, d.height * ptPerPx, 4);
    objects[2] = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + w + " " + h +
                 "] /Contents 4 0 R /Resources << /XObject << " + forms + ">> >> >>";
    objects[3] = pdfStream("/Filter /FlateDecode", *packed);
    objects.push_back("<< /Producer (Vortalis)" +
                      (page.title.empty() ? "" : " /Title " + pdfText(page.title)) + " >>");
    return pdfFile(objects);
}

} // namespace vx
