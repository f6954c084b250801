// Feeds arbitrary bytes through the picture loading and the colour-scale scan, as the import
// page and vortalis-render --scale-from use them, and checks the scale against the plain
// method of comparing each point with every colour found so far.
#include "engine/scale.hpp"
#include "qt/image.hpp"

#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <unordered_set>
#include <vector>

using namespace vx;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool skipped(int32_t c) {
    return c == kWhite || c == qbColor(7) || c == kBorder;
}

std::vector<int32_t> plainScan(const Surface& s, int boxW, int boxH, int firstX) {
    std::vector<int32_t> found;
    for (int y = 0; y < std::min(boxH, s.height()); ++y)
        for (int x = firstX; x < std::min(boxW, s.width()); ++x) {
            const int32_t c = s.pixel(x, y);
            if (skipped(c)) continue;
            if (std::find(found.begin(), found.end(), c) == found.end()) found.push_back(c);
        }
    return found;
}

void checkScan(const Surface& s, int boxW, int boxH, int firstX) {
    const ScaleScan scan = scanScale(s, boxW, boxH, firstX);
    check(scan.colours.size() <= static_cast<size_t>(kMaxScaleColours));
    check(!scan.full || scan.colours.size() == static_cast<size_t>(kMaxScaleColours));
    std::unordered_set<int32_t> distinct;
    for (const int32_t c : scan.colours) {
        check(c >= 0 && c <= 0xFFFFFF && !skipped(c));
        check(distinct.insert(c).second);
    }
    // The plain method is quadratic: held against it only where that stays quick.
    if (static_cast<int64_t>(s.width()) * s.height() <= 4096)
        check(scan.colours == plainScan(s, boxW, boxH, firstX));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A few bytes can claim a picture of hundreds of megabytes; a smaller limit keeps each run
    // short and still reaches every branch.
    QImageReader::setAllocationLimit(16);
    // Qt's readers complain of bad input on stderr, thousands of times a second.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Result<Surface> picture =
        readPictureData(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!picture) {
        check(!picture.error().message.empty());
        return 0;
    }
    check(picture->width() > 0 && picture->height() > 0);
    checkScan(*picture, picture->width(), picture->height(), 0); // the renderer's whole picture
    checkScan(*picture, 305, 225, 1); // the import page's box, column 0 not visited
    return 0;
}
