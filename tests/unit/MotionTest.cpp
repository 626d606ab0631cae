#include "view/Motion.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace motion;

TEST(MotionTest, PeriodClampsStepAndStart)
{
    const int periods[][2] = {  // speed, period: 5 ms and less (Speed 108 up) is below what a timer honours
        {INT_MIN, 550}, {0, 550}, {1, 545}, {50, 300}, {100, 50}, {107, 15}, {108, 10}, {110, 10}, {INT_MAX, 10}};
    for (const auto& p : periods)
        EXPECT_EQ(TimerPeriod(p[0]), p[1]) << p[0];
    using V = std::vector<int>;
    EXPECT_EQ((V{ClampResolution(INT_MIN), ClampResolution(1), ClampResolution(20), ClampResolution(21)}),
              (V{1, 1, 20, 20}));
    EXPECT_EQ((V{ClampChangeTimes(0), ClampChangeTimes(100), ClampChangeTimes(INT_MAX)}), (V{1, 100, 100}));
    // Resolution percent of the client height, truncated (21.000000000000004
    // is 21), at least a pixel.
    EXPECT_EQ((V{StepFromHeight(10, 768), StepFromHeight(1, 50), StepFromHeight(20, 0), StepFromHeight(7, 300)}),
              (V{76, 1, 1, 21}));
    // The start inside the extent; 0 without one.
    EXPECT_EQ((V{StartPosition(1234, 1024), StartPosition(1023, 1024), StartPosition(1234, 0), StartPosition(9, -1)}),
              (V{210, 1023, 0, 0}));
}

// One tick on one axis: the step turns first when the next one would carry
// the tile across an edge, then the tile moves.
TEST(MotionTest, GlideTurnsBeforeCrossingAnEdge)
{
    const int cases[][6] = {  // position, step, size, limit before the tick; position, step after it
        {75, 10, 20, 100, 65, -10},      // would reach 105: turns, one step back
        {70, 10, 20, 100, 80, 10},       // right edge exactly at 100: no turn
        {5, -10, 20, 100, 15, 10},       // would pass 0: turns
        {10, -10, 20, 100, 0, -10},      // left edge exactly at 0: no turn
        {95, -10, 20, 100, 85, -10},     // moving away from the right edge it is not turned again
        {0, 10, 150, 100, -10, -10},     // wider than the client: turns at once moving right,
        {-10, -10, 150, 100, -20, -10},  // and moving left only once its right edge is back inside
        {-60, -10, 150, 100, -50, 10},
        {100, 1, 0, 100, 99, -1},        // an empty tile moves all the same
        {INT_MAX - 5, 10, 20, 100, INT_MAX - 15, -10},  // no overflow of the look-ahead
    };
    for (const auto& c : cases) {
        int position = c[0], step = c[1];
        Glide(position, step, c[2], c[3]);
        EXPECT_TRUE(position == c[4] && step == c[5]) << c[0] << " by " << c[1] << ": " << position << " by " << step;
    }
}
