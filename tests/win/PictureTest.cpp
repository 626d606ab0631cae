// The picture object over real JPEG files: decoding, refusal and the upright
// size. (The pixels it draws, against ImageMagick's resampling of the same
// pictures: tests/e2e, on the screen.)
#include "tests/win/TargetDC.h"
#include "tests/win/WinTest.h"
#include "view/Picture.h"

constexpr COLORREF kMagenta = RGB(255, 0, 255);  // in none of the pictures

// Sizes come from the decoder at the screen's pixels per inch and go back with
// them, upright.
TEST(PictureTest, LoadsOrStaysEmpty)
{
    ScratchFolder folder;
    WriteFileBytes(folder.File("empty.jpg"), "");
    const struct {
        std::string path;
        SIZE size;  // upright; 0 x 0: no picture
    } cases[] = {
        {CorpusFile("tower.jpg"), {512, 512}},
        {CorpusFile("tower_progressive.jpg"), {512, 512}},
        {CorpusFile("cat.jpg"), {512, 512}},                       // greyscale
        {CorpusFile("dpi.jpeg"), {48, 48}},                        // its own 300 x 600 dpi do not count
        {CorpusFile("bug725582-testrotate.jpg"), {428, 640}},      // stored 640 x 428, orientation 6
        {CorpusFile("made/turned-8.jpg"), {480, 320}},             // stored 320 x 480, orientation 8
        {folder.File("missing.jpg"), {0, 0}},
        {folder.File("empty.jpg"), {0, 0}},
        {CorpusFile("CVE-2017-2862.jpg"), {0, 0}},  // the decoder fails on its scan header
        {CorpusFile("issue205.jpg"), {0, 0}},       // claims 64250 x 64250: refused before decoding
    };
    for (const auto& c : cases) {
        CPicture picture;
        EXPECT_EQ(picture.Load(c.path.c_str()), c.size.cx > 0) << c.path;
        EXPECT_TRUE(picture.GetSize().cx == c.size.cx && picture.GetSize().cy == c.size.cy) << c.path;
        CTargetDC target(8, 8, kMagenta);
        EXPECT_EQ(picture.Render(&target, RECT{0, 0, 8, 8}), c.size.cx > 0) << c.path;
        EXPECT_EQ(target.At(4, 4) != kMagenta, c.size.cx > 0) << c.path;
    }
    // A rectangle all zero is the natural size at the origin; with metafile
    // bounds the platform draws, into the rectangle alone.
    CPicture picture;
    ASSERT_TRUE(picture.Load(CorpusFile("dpi.jpeg").c_str()));
    CTargetDC target(64, 64, kMagenta);
    const RECT bounds{0, 0, 1, 1};
    EXPECT_TRUE(picture.Render(&target) && picture.Render(&target, RECT{50, 50, 60, 60}, &bounds));
    for (const auto& [at, painted] : {std::pair{POINT{47, 47}, true}, {{48, 48}, false}, {{59, 59}, true},
                                      {{55, 60}, false}})
        EXPECT_EQ(target.At(at.x, at.y) != kMagenta, painted) << at.x << ", " << at.y;
}
