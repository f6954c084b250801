// The timing lines the measuring scripts read (scripts/measure-*): their words and numbers.
#include "qt/frametiming.hpp"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using vx::FrameTiming;

TEST(FrameTiming, SumsUpEachSecondOfFramesWithTheLargestGap) {
    FrameTiming t;
    // A period ends at the first frame a second or more after it began; a gap across the
    // turn of a period counts in the new one.
    const std::vector<std::pair<int64_t, std::string>> frames = {
        {500, ""},
        {520, ""},
        {700, ""},
        {999, ""},
        {1000, "vortalis-timing: 5 frames in 1000 ms, largest gap 299 ms\n"},
        {1010, ""},
        {2400, "vortalis-timing: 2 frames in 1400 ms, largest gap 1390 ms\n"},
        {2416, ""},
    };
    for (const auto& [ms, line] : frames) EXPECT_EQ(t.frameAt(ms), line) << "frame at " << ms;
}

TEST(FrameTiming, ReportsTheLastMarkAtTheNextPaintOnly) {
    FrameTiming t;
    EXPECT_EQ(t.paintedAt(10), "");
    t.markAt("mouse click", 100);
    t.markAt("Timer1 tick", 120);
    EXPECT_EQ(t.paintedAt(154), "vortalis-timing: Timer1 tick to frame 34 ms\n");
    EXPECT_EQ(t.paintedAt(170), "");
}
