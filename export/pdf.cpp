#include "export/pdf.hpp"

#include <cstdio>

namespace vx {

std::string pdfText(std::string_view s) {
    std::string out = "(";
    for (char c : s) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += c;
    }
    return out + ")";
}

std::string pdfStream(const std::string& entries, const std::string& bytes) {
    return "<< " + entries + " /Length " + std::to_string(bytes.size()) + " >>\nstream\n" + bytes +
           "\nendstream";
}

std::string pdfFile(const std::vector<std::string>& objects) {
    size_t size = 64 * objects.size() + 256;
    for (const std::string& o : objects) size += o.size();
    std::string out;
    out.reserve(size);
    out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (const std::string& o : objects) {
        offsets.push_back(out.size());
        out += std::to_string(offsets.size()) + " 0 obj\n" + o + "\nendobj\n";
    }
    const size_t xref = out.size();
    const std::string count = std::to_string(offsets.size() + 1);
    out += "xref\n0 " + count + "\n0000000000 65535 f \n";
    for (size_t at : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", at);
        out += line;
    }
    out += "trailer\n<< /Size " + count + " /Root 1 0 R /Info " + std::to_string(offsets.size()) +
           " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

} // namespace vx
