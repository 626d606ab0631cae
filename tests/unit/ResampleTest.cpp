#include "view/Resample.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using resample::Pixel;

struct Picture {
    int width;
    int height;
    std::vector<Pixel> pixels;  // rows from the top
};

// The picture resampled (upright after EXIF orientation `exif`); empty when
// Resample answers false.
std::vector<Pixel> Resampled(const Picture& p, int outWidth, int outHeight, int exif = 1)
{
    std::vector<Pixel> out(static_cast<size_t>(outWidth) * outHeight);
    const auto read = [&](int top, int count, Pixel* rows) {
        std::copy_n(&p.pixels[static_cast<size_t>(top) * p.width], static_cast<size_t>(count) * p.width, rows);
        return true;
    };
    if (!resample::Resample(p.width, p.height, read, resample::FromExif(exif), outWidth, outHeight, out.data()))
        return {};
    return out;
}

Picture Make(int width, int height, Pixel (*at)(int x, int y))
{
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels.push_back(at(x, y));
    return p;
}

Pixel Grey(int level) { return static_cast<Pixel>(level) * 0x010101; }
int Blue(Pixel p) { return p & 0xFF; }

struct SizeCase {
    int width, height, outWidth, outHeight;
};

class ResampleSizeTest : public testing::TestWithParam<SizeCase> {};

// Whatever the scale of each axis, a solid colour stays exactly itself.
TEST_P(ResampleSizeTest, SolidColourStaysExact)
{
    const SizeCase& c = GetParam();
    const Picture solid = Make(c.width, c.height, [](int, int) -> Pixel { return 0x00C3B2A1; });
    for (int exif = 1; exif <= 8; ++exif)
        EXPECT_EQ(Resampled(solid, c.outWidth, c.outHeight, exif),
                  std::vector<Pixel>(static_cast<size_t>(c.outWidth) * c.outHeight, 0x00C3B2A1)) << exif;
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResampleSizeTest, testing::ValuesIn(std::vector<SizeCase>{
    {640, 480, 341, 255},  // shrunk by an uneven factor
    {150, 103, 341, 234},  // enlarged by an uneven factor
    {7, 3, 7, 3},          // kept
    {1, 9, 1, 2},          // one column
    {9, 1, 23, 1},         // one row
    {1, 1, 5, 4},
    {3000, 2, 10, 17},     // shrunk across, enlarged down
    {2, 3000, 17, 10},
}));

TEST(ResampleTest, CheckerboardShrunkByTwoIsItsAverageGrey)
{
    const Picture board = Make(64, 48, [](int x, int y) { return Grey((x + y) % 2 * 255); });
    for (const Pixel p : Resampled(board, 32, 24))
        EXPECT_NEAR(Blue(p), 127.5, 0.5);
}

TEST(ResampleTest, KeptSizeIsAnExactCopy)
{
    const Picture noise = Make(37, 29, [](int x, int y) { return static_cast<Pixel>(x * 2654435761u ^ y * 40503u); });
    EXPECT_EQ(Resampled(noise, 37, 29), noise.pixels);
}

// A ramp stays a ramp, from near its darkest to near its lightest end, read
// in several bands of rows.
TEST(ResampleTest, GradientStaysMonotone)
{
    const Picture ramp = Make(1000, 700, [](int x, int y) { return Grey((x + y) * 255 / 1698); });
    for (const SizeCase& to : {SizeCase{0, 0, 97, 61}, SizeCase{0, 0, 2500, 1800}}) {
        const std::vector<Pixel> out = Resampled(ramp, to.outWidth, to.outHeight);
        ASSERT_FALSE(out.empty());
        for (int y = 0; y < to.outHeight; ++y)
            for (int x = 1; x < to.outWidth; ++x)
                ASSERT_GE(Blue(out[y * to.outWidth + x]), Blue(out[y * to.outWidth + x - 1])) << x << "," << y;
        for (int x = 0; x < to.outWidth; ++x)
            ASSERT_GE(Blue(out[(to.outHeight - 1) * to.outWidth + x]), Blue(out[x])) << x;
        EXPECT_LE(Blue(out.front()), 5);
        EXPECT_GE(Blue(out.back()), 250);
    }
}

// Across: two columns averaged. Down: two rows become four, the outer ones
// holding the edge rows and the inner ones interpolated between the centres.
TEST(ResampleTest, ShrinksOneAxisAndEnlargesTheOther)
{
    const Picture p{2, 2, {Grey(0), Grey(100), Grey(200), Grey(200)}};
    EXPECT_EQ(Resampled(p, 1, 4), (std::vector<Pixel>{Grey(50), Grey(88), Grey(163), Grey(200)}));
}

// The eight orientations of a picture whose pixels are all different.
TEST(ResampleTest, EveryOrientationComesOutUpright)
{
    // a b c
    // d e f
    const Picture stored{3, 2, {'a', 'b', 'c', 'd', 'e', 'f'}};
    const std::vector<std::vector<Pixel>> upright{
        {'a', 'b', 'c', 'd', 'e', 'f'},  // 1: as stored
        {'c', 'b', 'a', 'f', 'e', 'd'},  // 2: mirrored across
        {'f', 'e', 'd', 'c', 'b', 'a'},  // 3: turned half round
        {'d', 'e', 'f', 'a', 'b', 'c'},  // 4: mirrored top to bottom
        {'a', 'd', 'b', 'e', 'c', 'f'},  // 5: transposed
        {'d', 'a', 'e', 'b', 'f', 'c'},  // 6: turned a quarter clockwise
        {'f', 'c', 'e', 'b', 'd', 'a'},  // 7: transversed
        {'c', 'f', 'b', 'e', 'a', 'd'},  // 8: turned a quarter anticlockwise
    };
    for (int exif = 1; exif <= 8; ++exif) {
        const bool turned = exif >= 5;
        EXPECT_EQ(Resampled(stored, turned ? 2 : 3, turned ? 3 : 2, exif), upright[exif - 1]) << exif;
    }
    for (const int unknown : {0, 9, -1})
        EXPECT_EQ(Resampled(stored, 3, 2, unknown), upright[0]) << unknown;
}

TEST(ResampleTest, RefusesEmptySizesAndUnreadableRows)
{
    const Picture p{2, 2, {1, 2, 3, 4}};
    EXPECT_TRUE(Resampled(p, 0, 3).empty());
    EXPECT_TRUE(Resampled(Picture{0, 2, {}}, 3, 3).empty());
    Pixel out[4];
    EXPECT_FALSE(resample::Resample(2, 2, [](int, int, Pixel*) { return false; }, {}, 2, 2, out));
}

}  // namespace
