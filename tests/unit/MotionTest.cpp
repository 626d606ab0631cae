#include "view/Motion.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

struct PeriodCase {
    int speed;
    int period;
};

class TimerPeriodTest : public testing::TestWithParam<PeriodCase> {};

TEST_P(TimerPeriodTest, FollowsSpeed)
{
    EXPECT_EQ(motion::TimerPeriod(GetParam().speed), GetParam().period) << GetParam().speed;
}

INSTANTIATE_TEST_SUITE_P(Speeds, TimerPeriodTest, testing::ValuesIn(std::vector<PeriodCase>{
    {0, 550}, {-3, 550}, {INT_MIN, 550}, {1, 545}, {50, 300}, {100, 50},
    {107, 15}, {108, 10}, {109, 10},       // 5 ms is below what a timer honours
    {110, 10}, {111, 10}, {1000, 10},      // zero and negative periods: the minimum
    {INT_MAX, 10},                         // no overflow of 5 x Speed
}));

TEST(ClampTest, ResolutionAndChangeTimes)
{
    EXPECT_EQ(motion::ClampResolution(0), 1);
    EXPECT_EQ(motion::ClampResolution(-5), 1);
    EXPECT_EQ(motion::ClampResolution(1), 1);
    EXPECT_EQ(motion::ClampResolution(20), 20);
    EXPECT_EQ(motion::ClampResolution(25), 20);
    EXPECT_EQ(motion::ClampResolution(INT_MIN), 1);
    EXPECT_EQ(motion::ClampChangeTimes(0), 1);
    EXPECT_EQ(motion::ClampChangeTimes(150), 100);
    EXPECT_EQ(motion::ClampChangeTimes(100), 100);
    EXPECT_EQ(motion::ClampChangeTimes(INT_MAX), 100);
}

TEST(StepTest, PercentOfTheClientHeight)
{
    EXPECT_EQ(motion::StepFromHeight(10, 768), 76);
    EXPECT_EQ(motion::StepFromHeight(10, 600), 60);
    EXPECT_EQ(motion::StepFromHeight(10, 112), 11);
    EXPECT_EQ(motion::StepFromHeight(1, 50), 1);    // half a pixel counts as 1
    EXPECT_EQ(motion::StepFromHeight(20, 0), 1);
    EXPECT_EQ(motion::StepFromHeight(20, 1080), 216);
    EXPECT_EQ(motion::StepFromHeight(7, 300), 21);  // 21.000000000000004 truncates to 21
}

TEST(StartPositionTest, InsideTheExtentOrZero)
{
    EXPECT_EQ(motion::StartPosition(1234, 1024), 210);
    EXPECT_EQ(motion::StartPosition(1023, 1024), 1023);
    EXPECT_EQ(motion::StartPosition(32767, 1), 0);
    EXPECT_EQ(motion::StartPosition(1234, 0), 0);  // no remainder by zero
    EXPECT_EQ(motion::StartPosition(1234, -1), 0);
}

struct GlideCase {
    int position, step, size, limit;  // before the tick
    int endPosition, endStep;         // after it
};

class GlideTest : public testing::TestWithParam<GlideCase> {};

TEST_P(GlideTest, TurnsBeforeCrossingAnEdge)
{
    const GlideCase& c = GetParam();
    int position = c.position;
    int step = c.step;
    motion::Glide(position, step, c.size, c.limit);
    EXPECT_EQ(position, c.endPosition);
    EXPECT_EQ(step, c.endStep);
}

INSTANTIATE_TEST_SUITE_P(Edges, GlideTest, testing::ValuesIn(std::vector<GlideCase>{
    // client 100, tile 20
    {75, 10, 20, 100, 65, -10},   // would reach 105: turns, one step back
    {70, 10, 20, 100, 80, 10},    // right edge exactly at 100: no turn
    {5, -10, 20, 100, 15, 10},    // would pass 0: turns
    {10, -10, 20, 100, 0, -10},   // left edge exactly at 0: no turn
    {40, 10, 20, 100, 50, 10},    // open water
    {85, -10, 20, 100, 75, -10},  // moving away from the right edge
    // A step that is already negative is not turned again by the right edge.
    {95, -10, 20, 100, 85, -10},
    // Tile wider than the client area (150 in 100): moving right it turns at
    // once; moving left it turns only once its right edge is back inside.
    {0, 10, 150, 100, -10, -10},
    {-10, -10, 150, 100, -20, -10},    // next right edge 120 > 100: the left test is skipped
    {-60, -10, 150, 100, -50, 10},     // next right edge 80: inside, left edge < 0: turns
    {-50, 10, 150, 100, -60, -10},
    // An empty tile before the first picture moves all the same.
    {99, 1, 0, 100, 100, 1},
    {100, 1, 0, 100, 99, -1},
    // Extreme values do not overflow the look-ahead.
    {INT_MAX - 5, 10, 20, 100, INT_MAX - 15, -10},
}));

}  // namespace
