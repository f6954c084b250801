// The scan that makes an imported colour scale.
#include "engine/scale.hpp"
#include "surface/numeric.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vx;

namespace {

// The scan as described: every point compared with every colour found so far.
std::vector<int32_t> naiveScan(const Surface& s, int boxW, int boxH, int firstX) {
    std::vector<int32_t> found;
    for (int y = 0; y <= boxH; ++y)
        for (int x = firstX; x <= boxW; ++x) {
            int32_t c = x < boxW && y < boxH ? kWhite : -1;
            if (x < s.width() && y < s.height() && x < boxW && y < boxH) c = s.pixel(x, y);
            if (c == qbColor(7) || c == kWhite || c == -1 || c == kBorder) continue;
            if (std::find(found.begin(), found.end(), c) == found.end()) found.push_back(c);
        }
    return found;
}

} // namespace

TEST(ScaleScan, GivesTheDescribedListInItsOrderForAnyPicture) {
    Random r(7);
    for (int k = 0; k < 40; ++k) {
        Surface s(1 + static_cast<int>(r.next() * 40), 1 + static_cast<int>(r.next() * 30));
        // Few colours, so that they repeat, and the skipped ones among them.
        const int32_t palette[] = {kWhite, qbColor(7), kBorder, 0, 255, 65280, 2, 123456};
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) s.setPixel(x, y, palette[r.upTo(8) - 1]);
        for (auto [w, h, first] :
             {std::tuple{25, 20, 1}, {50, 40, 0}, {s.width(), s.height(), 0}}) {
            const ScaleScan scan = scanScale(s, w, h, first);
            EXPECT_EQ(scan.colours, naiveScan(s, w, h, first)) << k;
            EXPECT_FALSE(scan.full);
        }
    }
}

TEST(ScaleScan, StopsAtTheScaleSize) {
    Surface s(400, 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) s.setPixel(x, y, 1000 + y * 400 + x);
    const ScaleScan scan = scanScale(s);
    EXPECT_TRUE(scan.full);
    ASSERT_EQ(scan.colours.size(), static_cast<size_t>(kMaxScaleColours));
    EXPECT_EQ(scan.colours.back(), 1000 + kMaxScaleColours - 1);
}
