#include "view/Banner.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Hands out 1000, 1001, 1002...; `mode` is the fourth value, which chooses
// the mode by its parity.
class ScriptedRandom {
public:
    explicit ScriptedRandom(int mode) : m_mode(mode) {}
    int operator()()
    {
        const int value = ++m_count == 4 ? m_mode : 999 + m_count;
        return value;
    }
    int Count() const { return m_count; }

private:
    int m_mode;
    int m_count = 0;
};

struct ModeCase {
    int mode;
    bool scattered;
    int draws;
};

class BannerModeTest : public testing::TestWithParam<ModeCase> {};

TEST_P(BannerModeTest, DrawsInTheirOrder)
{
    ScriptedRandom random(GetParam().mode);
    const banner::Layout layout = banner::LayOut(std::ref(random), 640, 480);
    EXPECT_EQ(random.Count(), GetParam().draws);
    EXPECT_EQ(layout.pointSize, 1000 % 360);
    EXPECT_EQ(layout.scattered, GetParam().scattered);

    int draw = 1004;  // the draws after size, x, y and mode
    for (int k = 0; k < banner::kCopies; ++k) {
        const banner::Copy& copy = layout.copies[k];
        EXPECT_EQ(copy.escapement, 150 * k);
        EXPECT_EQ(copy.grey, draw++ % 255) << k;
        if (GetParam().scattered) {
            EXPECT_EQ(copy.x, draw++ % 640) << k;
            EXPECT_EQ(copy.y, draw++ % 480) << k;
        } else {
            EXPECT_EQ(copy.x, 1001 % 640) << k;
            EXPECT_EQ(copy.y, 1002 % 480) << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, BannerModeTest, testing::ValuesIn(std::vector<ModeCase>{
    {0, false, 28},   // even: one point
    {7, true, 76},    // odd: scattered, the first point drawn but unused
}));

TEST(BannerTest, RangesOfSizeAndGrey)
{
    int value = 359;
    const banner::Layout top = banner::LayOut([&] { return value; }, 10, 10);
    EXPECT_EQ(top.pointSize, 359);
    value = 254;
    EXPECT_EQ(banner::LayOut([&] { return value; }, 10, 10).copies[0].grey, 254);
    value = 255;  // never pure white
    EXPECT_EQ(banner::LayOut([&] { return value; }, 10, 10).copies[0].grey, 0);
}

TEST(BannerTest, AxisWithoutExtentGivesZero)
{
    int draws = 0;
    const banner::Layout layout = banner::LayOut([&] { return ++draws * 2 + 1; }, 0, 50);
    EXPECT_EQ(draws, 76);
    for (const banner::Copy& copy : layout.copies) {
        EXPECT_EQ(copy.x, 0);
        EXPECT_LT(copy.y, 50);
    }
}

}  // namespace
