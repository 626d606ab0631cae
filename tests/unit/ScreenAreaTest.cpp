#include "saver/ScreenArea.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Layout {
    const char* name;
    int x, y, cx, cy, cxPrimary, cyPrimary;
    ScreenArea expected;
};

class ScreenAreaTest : public testing::TestWithParam<Layout> {};

TEST_P(ScreenAreaTest, CoversEveryDisplay)
{
    const Layout& l = GetParam();
    const ScreenArea area = FullScreenArea(l.x, l.y, l.cx, l.cy, l.cxPrimary, l.cyPrimary);
    EXPECT_EQ(area.left, l.expected.left);
    EXPECT_EQ(area.top, l.expected.top);
    EXPECT_EQ(area.right, l.expected.right);
    EXPECT_EQ(area.bottom, l.expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ScreenAreaTest, testing::ValuesIn(std::vector<Layout>{
    {"one", 0, 0, 1024, 768, 1024, 768, {0, 0, 1024, 768}},
    {"two_side_by_side", 0, 0, 3840, 1080, 1920, 1080, {0, 0, 3840, 1080}},
    {"left_of_primary", -1280, 0, 3200, 1080, 1920, 1080, {-1280, 0, 1920, 1080}},
    {"left_and_lower", -1280, -200, 3200, 1280, 1920, 1080, {-1280, -200, 1920, 1080}},
    {"above_primary", 0, -1024, 1920, 2104, 1920, 1080, {0, -1024, 1920, 1080}},
    {"no_virtual_screen", 0, 0, 0, 0, 800, 600, {0, 0, 800, 600}},
}), [](const testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

}  // namespace
