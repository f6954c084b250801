#include "export/bundled.hpp"

#include "platform/files.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <tuple>

namespace vx {

namespace {

namespace fs = std::filesystem;

// There are a few dozen; more files than this in the folder are not read.
constexpr size_t kMaxBundled = 1000;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string groupOf(const std::string& text) {
    const std::string mark = "\n# Group:";
    const size_t at = text.find(mark);
    if (at == std::string::npos) return "Other";
    const size_t start = at + mark.size();
    std::string g = text.substr(start, text.find('\n', start) - start);
    g.erase(0, g.find_first_not_of(" \t"));
    g.erase(g.find_last_not_of(" \t\r") + 1);
    return g.empty() ? "Other" : g;
}

} // namespace

std::string bundledFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const fs::path dir = exe.parent_path();
    for (const fs::path& p :
         {dir.parent_path() / "share" / "vortalis" / "palettes", dir / "palettes"})
        if (fs::is_directory(p, ec)) return p.string();
    return {};
}

std::vector<BundledPalette> loadBundled(const std::string& folder,
                                        std::vector<std::string>* problems) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end && files.size() < kMaxBundled;
         it.increment(ec))
        if (lower(it->path().extension().string()) == ".gpl") files.push_back(it->path());
    std::vector<BundledPalette> out;
    for (const fs::path& p : files) {
        const Result<std::string> text = readFileStart(p.string(), kPaletteFileLimit + 1);
        Result<ReadPalette> read =
            text ? parsePaletteFile(*text, p.string()) : Result<ReadPalette>(text.error());
        if (!read) {
            if (problems) problems->push_back(p.filename().string() + ": " + read.error().message);
            continue;
        }
        BundledPalette b;
        b.id = p.stem().string();
        b.name = read->name.empty() ? b.id : read->name;
        b.group = groupOf(*text);
        b.list = read->list;
        out.push_back(std::move(b));
    }
    std::sort(out.begin(), out.end(), [](const BundledPalette& a, const BundledPalette& b) {
        return std::tie(a.group, a.name) < std::tie(b.group, b.name);
    });
    return out;
}

const std::vector<BundledPalette>& bundledPalettes() {
    static const std::vector<BundledPalette> all = [] {
        const std::string folder = bundledFolder();
        return folder.empty() ? std::vector<BundledPalette>() : loadBundled(folder);
    }();
    return all;
}

const BundledPalette* findBundled(const std::string& name) {
    const std::string want = lower(name);
    for (const BundledPalette& b : bundledPalettes())
        if (lower(b.id) == want || lower(b.name) == want) return &b;
    return nullptr;
}

} // namespace vx
