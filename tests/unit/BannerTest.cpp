#include "view/Banner.h"

#include <gtest/gtest.h>

// A frame's draws in their order: size (tenths of a point, up to 359), x, y,
// mode, then per copy its grey (never white) and, scattered (an odd mode),
// its own x and y: 28 or 76 values. Here the draws are 1000, 1001... with the
// mode put in as the fourth.
TEST(BannerTest, DrawsInTheirOrder)
{
    for (const int mode : {0, 7}) {
        int count = 0;
        const banner::Layout layout = banner::LayOut([&] { return ++count == 4 ? mode : 999 + count; }, 640, 480);
        const bool scattered = mode % 2 != 0;
        EXPECT_EQ(count, scattered ? 76 : 28);
        EXPECT_EQ(layout.pointSize, 1000 % 360);
        EXPECT_EQ(layout.scattered, scattered);
        int draw = 1004;
        for (int k = 0; k < banner::kCopies; ++k) {
            const banner::Copy& copy = layout.copies[k];
            EXPECT_EQ(copy.escapement, 150 * k);
            EXPECT_EQ(copy.grey, draw++ % 255) << k;
            EXPECT_EQ(copy.x, scattered ? draw++ % 640 : 1001 % 640) << k;
            EXPECT_EQ(copy.y, scattered ? draw++ % 480 : 1002 % 480) << k;
        }
    }
}
