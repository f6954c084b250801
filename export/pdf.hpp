#pragma once
// The frame of a PDF file: numbered objects, the cross-reference table and the trailer. The
// printed page and the vector export fill it with their own objects.
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// A PDF string literal holding s, its parentheses and backslashes escaped.
std::string pdfText(std::string_view s);

// A stream object's body: its dictionary entries (without /Length) and its bytes.
std::string pdfStream(const std::string& entries, const std::string& bytes);

// A whole PDF file of the given object bodies, numbered from 1: the first is the catalogue, the
// last the document information.
std::string pdfFile(const std::vector<std::string>& objects);

} // namespace vx
