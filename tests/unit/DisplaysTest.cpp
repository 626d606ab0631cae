#include "saver/Displays.h"
#include "pictures/PictureCycle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using displays::Rect;

// From the displays (the primary first) to the window over them all, a view
// a display in the window's coordinates, and the tile of a 4:3 photo fitted
// to each view.
TEST(DisplaysTest, AViewADisplay)
{
    const struct {
        std::vector<Rect> displays;
        Rect window;
        std::vector<Rect> views;
        std::vector<std::pair<int, int>> tiles;
    } cases[] = {
        {{{0, 0, 1920, 1080}}, {0, 0, 1920, 1080}, {{0, 0, 1920, 1080}}, {{640, 480}}},
        {{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}},  // side by side, of different sizes
         {0, 0, 3200, 1080}, {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}}, {{640, 480}, {426, 319}}},
        {{{0, 0, 1920, 1080}, {0, -1080, 1920, 0}},  // one above the primary
         {0, -1080, 1920, 1080}, {{0, 1080, 1920, 2160}, {0, 0, 1920, 1080}}, {{640, 480}, {640, 480}}},
        {{{0, 0, 1920, 1080}, {-1280, -200, 0, 824}},  // left of and above it
         {-1280, -200, 1920, 1080}, {{1280, 200, 3200, 1280}, {0, 0, 1280, 1024}}, {{640, 480}, {426, 319}}},
        {{{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}, {3840, 0, 5760, 1080}},  // three
         {0, 0, 5760, 1080}, {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}, {3840, 0, 5760, 1080}},
         {{640, 480}, {640, 480}, {640, 480}}},
        {{{0, 0, 1920, 1080}, {1920, 0, 3000, 1920}},  // a portrait one beside
         {0, 0, 3000, 1920}, {{0, 0, 1920, 1080}, {1920, 0, 3000, 1920}}, {{640, 480}, {360, 270}}},
        {{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {0, 0, 1280, 1024}, {5, 5, 5, 900}},  // mirrored, inside, empty
         {0, 0, 1920, 1080}, {{0, 0, 1920, 1080}}, {{640, 480}}},
        {{{0, 0, 1280, 1024}, {0, 0, 1920, 1080}, {1920, 0, 3200, 1024}},  // the primary inside a larger clone
         {0, 0, 3200, 1080}, {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}}, {{640, 480}, {426, 319}}},
        {{}, {0, 0, 0, 0}, {}, {}},
    };
    const auto same = [](const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    for (const auto& c : cases) {
        const displays::Cover cover = displays::CoverDisplays(c.displays);
        EXPECT_TRUE(same(cover.window, c.window)) << c.displays.size();
        ASSERT_EQ(cover.views.size(), c.views.size());
        for (size_t i = 0; i < c.views.size(); ++i) {
            const Rect& v = cover.views[i];
            const pictures::Extent tile = pictures::FitToThird({1600, 1200}, v.right - v.left, v.bottom - v.top);
            EXPECT_TRUE(same(v, c.views[i]) && std::pair(tile.cx, tile.cy) == c.tiles[i]) << c.displays.size() << i;
        }
    }
}
