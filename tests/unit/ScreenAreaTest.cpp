#include "saver/ScreenArea.h"

#include <gtest/gtest.h>

// The full-screen window covers the bounding box of every display; without a
// virtual screen, the primary display.
TEST(ScreenAreaTest, CoversEveryDisplay)
{
    const int cases[][10] = {  // x, y, cx, cy, primary cx, cy: left, top, right, bottom
        {0, 0, 1024, 768, 1024, 768, 0, 0, 1024, 768},
        {-1280, -200, 3200, 1280, 1920, 1080, -1280, -200, 1920, 1080},  // one left of and below the primary
        {0, 0, 0, 0, 800, 600, 0, 0, 800, 600},  {0, 0, 1024, 0, 800, 600, 0, 0, 800, 600},  // none
    };
    for (const auto& c : cases) {
        const ScreenArea a = FullScreenArea(c[0], c[1], c[2], c[3], c[4], c[5]);
        EXPECT_TRUE(a.left == c[6] && a.top == c[7] && a.right == c[8] && a.bottom == c[9]) << c[0] << "," << c[2];
    }
}
