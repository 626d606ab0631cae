#include "pictures/Resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using resample::Pixel;

struct Picture {
    int width;
    int height;
    std::vector<Pixel> pixels;  // rows from the top
};

static Picture Make(int width, int height, const std::function<Pixel(int x, int y)>& at)
{
    Picture p{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        p.pixels.push_back(at(i % width, i / width));
    return p;
}

static Pixel Grey(int level) { return static_cast<Pixel>(level) * 0x010101; }

// Resampled upright after the EXIF orientation; empty when Resample refuses.
static std::vector<Pixel> Resampled(const Picture& p, int outWidth, int outHeight, int exif = 1)
{
    std::vector<Pixel> out(static_cast<size_t>(outWidth) * outHeight);
    const auto read = [&](int top, int count, Pixel* rows) {
        std::copy_n(&p.pixels[static_cast<size_t>(top) * p.width], static_cast<size_t>(count) * p.width, rows);
        return true;
    };
    if (!resample::Resample(p.width, p.height, read, resample::FromExif(exif), outWidth, outHeight, out.data()))
        out.clear();
    return out;
}

// Whatever the scale of each axis and the orientation, a solid colour stays
// exactly itself; a kept size is an exact copy; nothing comes of empty sizes
// or rows that cannot be read.
TEST(ResampleTest, ExactWhereItCanBe)
{
    const int sizes[][4] = {{640, 480, 341, 255}, {150, 103, 341, 234}, {1, 9, 1, 2}, {9, 1, 23, 1},
                            {1, 1, 5, 4},         {3000, 2, 10, 17}};  // the last shrunk across, enlarged down
    for (const auto& s : sizes) {
        const std::vector<Pixel> solid(static_cast<size_t>(s[2]) * s[3], 0x00C3B2A1);
        for (int exif = 1; exif <= 8; ++exif)
            EXPECT_EQ(Resampled(Make(s[0], s[1], [](int, int) { return Pixel{0x00C3B2A1}; }), s[2], s[3], exif), solid)
                << s[0] << " x " << s[1] << " to " << s[2] << " x " << s[3] << ", " << exif;
    }
    const Picture noise = Make(37, 29, [](int x, int y) { return static_cast<Pixel>(x * 2654435761u ^ y * 40503u); });
    EXPECT_EQ(Resampled(noise, 37, 29), noise.pixels);
    EXPECT_TRUE(Resampled(noise, 0, 3).empty());
    EXPECT_TRUE(Resampled(Picture{0, 2, {}}, 3, 3).empty());
    Pixel out[4];
    EXPECT_FALSE(resample::Resample(2, 2, [](int, int, Pixel*) { return false; }, {}, 2, 2, out));
}

// A checkerboard shrunk by two is its average grey; one lit pixel of 270 adds
// its 270th part, however the weights round. Across, two columns are
// averaged; down, two rows become four: the outer ones hold the edge rows,
// the inner ones are interpolated between the centres.
TEST(ResampleTest, AveragesAndInterpolates)
{
    for (const Pixel p : Resampled(Make(64, 48, [](int x, int y) { return Grey((x + y) % 2 * 255); }), 32, 24))
        EXPECT_NEAR(p & 0xFF, 127.5, 0.5);
    EXPECT_EQ(Resampled(Make(270, 1, [](int x, int) { return Grey(x == 0 ? 255 : 0); }), 1, 1), std::vector{Grey(1)});
    EXPECT_EQ(Resampled(Picture{2, 2, {Grey(0), Grey(100), Grey(200), Grey(200)}}, 1, 4),
              (std::vector<Pixel>{Grey(50), Grey(88), Grey(163), Grey(200)}));
}

// A ramp stays a ramp from near its darkest to near its lightest end, shrunk
// and enlarged, read in several bands of rows.
TEST(ResampleTest, GradientStaysMonotone)
{
    const Picture ramp = Make(1000, 700, [](int x, int y) { return Grey((x + y) * 255 / 1698); });
    for (const auto& [w, h] : {std::pair{97, 61}, std::pair{2500, 1800}}) {
        const std::vector<Pixel> out = Resampled(ramp, w, h);
        ASSERT_EQ(out.size(), static_cast<size_t>(w) * h);
        for (int i = 0; i < w * h; ++i)
            ASSERT_TRUE((i % w == 0 || out[i] >= out[i - 1]) && (i < w || out[i] >= out[i - w])) << i;
        EXPECT_TRUE((out.front() & 0xFF) <= 5 && (out.back() & 0xFF) >= 250);
    }
}

// The eight orientations of a picture whose pixels all differ:
//   a b c
//   d e f
TEST(ResampleTest, EveryOrientationComesOutUpright)
{
    const Picture stored{3, 2, {'a', 'b', 'c', 'd', 'e', 'f'}};
    const std::vector<Pixel> upright[] = {
        {'a', 'b', 'c', 'd', 'e', 'f'},  // 1: as stored
        {'c', 'b', 'a', 'f', 'e', 'd'},  // 2: mirrored across
        {'f', 'e', 'd', 'c', 'b', 'a'},  // 3: turned half round
        {'d', 'e', 'f', 'a', 'b', 'c'},  // 4: mirrored top to bottom
        {'a', 'd', 'b', 'e', 'c', 'f'},  // 5: transposed
        {'d', 'a', 'e', 'b', 'f', 'c'},  // 6: turned a quarter clockwise
        {'f', 'c', 'e', 'b', 'd', 'a'},  // 7: transversed
        {'c', 'f', 'b', 'e', 'a', 'd'},  // 8: turned a quarter anticlockwise
    };
    for (int exif = 1; exif <= 8; ++exif)
        EXPECT_EQ(Resampled(stored, exif >= 5 ? 2 : 3, exif >= 5 ? 3 : 2, exif), upright[exif - 1]) << exif;
    for (const int unknown : {0, 9, -1})
        EXPECT_EQ(Resampled(stored, 3, 2, unknown), upright[0]) << unknown;
}
