// The picture object over real JPEG files: decoding, refusal, size, drawing.
#include "tests/win/Corpus.h"
#include "tests/win/WinTest.h"
#include "view/Picture.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);  // in none of the pictures

// Pictures in other formats, named .jpg.
const char kPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01"
    "\x08\x06\x00\x00\x00\x1f\x15\xc4\x89\x00\x00\x00\x0d\x49\x44\x41\x54\x78\x9c\x63\xf8\xff\xff\x3f"
    "\x00\x05\xfe\x02\xfe\xa7\x35\x81\x84\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
const char kGif[] =
    "\x47\x49\x46\x38\x39\x61\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00"
    "\x00\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b";

struct LoadCase {
    const char* name;  // a corpus file, or one that the test writes
    bool loads;
    SIZE size;         // at the screen's 96 pixels per inch
};

class PictureLoadTest : public testing::TestWithParam<LoadCase> {
protected:
    // The files that no package holds.
    std::string PathOf(const std::string& name)
    {
        if (name == "text.jpg")
            WriteFileBytes(m_folder.File(name), "This is a letter, not a picture.\r\n");
        else if (name == "truncated.jpg")
            WriteFileBytes(m_folder.File(name), ReadFileBytes(CorpusFile("tower.jpg")).substr(0, 20000));
        else if (name == "empty.jpg")
            WriteFileBytes(m_folder.File(name), "");
        else if (name == "png.jpg")  // a whole 1 x 1 PNG, which the decoder could show
            WriteFileBytes(m_folder.File(name), std::string(kPng, sizeof kPng - 1));
        else if (name == "gif.jpg")  // a whole 1 x 1 GIF
            WriteFileBytes(m_folder.File(name), std::string(kGif, sizeof kGif - 1));
        else if (name == "folder.jpg")
            ::CreateDirectoryA(m_folder.File(name).c_str(), nullptr);
        else if (name != "missing.jpg")
            return CorpusFile(name);
        return m_folder.File(name);
    }

    ScratchFolder m_folder;
};

TEST_P(PictureLoadTest, LoadsOrStaysEmpty)
{
    const LoadCase& c = GetParam();
    CPicture picture;
    EXPECT_EQ(picture.Load(PathOf(c.name).c_str()), c.loads) << c.name;
    const SIZE size = picture.GetSize();
    EXPECT_EQ(size.cx, c.size.cx) << c.name;
    EXPECT_EQ(size.cy, c.size.cy) << c.name;
    CTargetDC target(8, 8, kMagenta);
    EXPECT_EQ(picture.Render(&target, RECT{0, 0, 8, 8}), c.loads) << c.name;
    EXPECT_EQ(target.At(4, 4) != kMagenta, c.loads) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Files, PictureLoadTest, testing::ValuesIn(std::vector<LoadCase>{
    {"tower.jpg", true, {512, 512}},
    {"tower_progressive.jpg", true, {512, 512}},
    {"tower_grayscale.jpg", true, {512, 512}},
    {"valid.2.jpeg", true, {400, 400}},            // progressive
    {"cat.jpg", true, {512, 512}},                 // greyscale
    {"dpi.jpeg", true, {48, 48}},                  // its own 300 x 600 dpi do not count
    {"issue70.jpg", true, {3120, 4208}},           // a 13 MP phone photo stays inside the limits
    {"missing.jpg", false, {0, 0}},
    {"folder.jpg", false, {0, 0}},
    {"empty.jpg", false, {0, 0}},
    {"text.jpg", false, {0, 0}},
    {"png.jpg", false, {0, 0}},                    // only JPEG files are shown
    {"gif.jpg", false, {0, 0}},
    {"truncated.jpg", false, {0, 0}},
    {"premature-end.jpg", false, {0, 0}},
    {"bug775218.jpg", false, {0, 0}},
    {"CVE-2017-2862.jpg", false, {0, 0}},
    {"issue205.jpg", false, {0, 0}},               // claims 64250 x 64250: refused before decoding
    {"large.jpg", false, {0, 0}},                  // 22500 x 33300: refused before decoding
}));

class PictureTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_picture.Load(CorpusFile("tower.jpg").c_str())); }

    ScratchFolder m_folder;
    CPicture m_picture;
};

TEST_F(PictureTest, KeepsThePictureWhenTheFileCannotBeOpened)
{
    EXPECT_FALSE(m_picture.Load(m_folder.File("missing.jpg").c_str()));
    EXPECT_EQ(m_picture.GetSize().cx, 512);

    // A file that someone else holds open for writing cannot be opened either,
    // whether the writer lets others read it or shares nothing.
    const std::string busy = m_folder.File("busy.jpg");
    WriteFileBytes(busy, ReadFileBytes(CorpusFile("cat.jpg")));
    for (const DWORD share : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, DWORD{0}}) {
        ASSERT_TRUE(m_picture.Load(CorpusFile("tower.jpg").c_str()));
        const HANDLE writer = ::CreateFileA(busy.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(writer, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(m_picture.Load(busy.c_str())) << share;
        ::CloseHandle(writer);
        EXPECT_EQ(m_picture.GetSize().cx, 512) << share;
        EXPECT_TRUE(m_picture.Load(busy.c_str())) << share;  // readable once the writer is gone
    }
}

TEST_F(PictureTest, DropsThePictureWhenTheFileCannotBeDecoded)
{
    const std::string text = m_folder.File("text.jpg");
    WriteFileBytes(text, "no picture");
    EXPECT_FALSE(m_picture.Load(text.c_str()));
    EXPECT_EQ(m_picture.GetSize().cx, 0);
    EXPECT_TRUE(m_picture.Load(CorpusFile("tower.jpg").c_str()));
    EXPECT_FALSE(m_picture.Load(CorpusFile("issue205.jpg").c_str()));
    EXPECT_EQ(m_picture.GetSize().cy, 0);
}

TEST_F(PictureTest, SizeInTheScreensPixelsPerInch)
{
    CTargetDC target(1, 1, 0);
    const int dpi = target.GetDeviceCaps(LOGPIXELSX);
    const char* expected = std::getenv("VLM_DPI");
    EXPECT_EQ(dpi, expected != nullptr ? std::atoi(expected) : 96);
    // The decoder gives pixels x 2540 / dpi in HIMETRIC; GetSize turns that back.
    EXPECT_EQ(m_picture.GetSize(&target).cx, 512);
    EXPECT_EQ(m_picture.GetSize(&target).cy, 512);
    EXPECT_EQ(m_picture.GetSize().cx, 512);
}

TEST_F(PictureTest, RenderFillsExactlyTheRectangle)
{
    CTargetDC target(320, 120, kMagenta);
    EXPECT_TRUE(m_picture.Render(&target, RECT{10, 10, 310, 110}));
    for (const POINT p : {POINT{10, 10}, POINT{309, 10}, POINT{10, 109}, POINT{309, 109}, POINT{160, 60}})
        EXPECT_NE(target.At(p.x, p.y), kMagenta) << p.x << "," << p.y;
    for (const POINT p : {POINT{9, 60}, POINT{310, 60}, POINT{160, 9}, POINT{160, 110}})
        EXPECT_EQ(target.At(p.x, p.y), kMagenta) << p.x << "," << p.y;
}

// A picture made for the purpose: its upper half white, its lower half black.
TEST(PictureOrientationTest, LandsUpright)
{
    CPicture picture;
    ASSERT_TRUE(picture.Load(CorpusFile("halves.jpg").c_str()));
    CTargetDC target(40, 90, kMagenta);
    picture.Render(&target, RECT{0, 0, 40, 90});
    EXPECT_GT(GetGValue(target.At(20, 10)), 200);
    EXPECT_LT(GetGValue(target.At(20, 80)), 50);
}

// What ImageMagick made of a picture (tests/win/references.sh): a PPM file.
struct Reference {
    int width = 0;
    int height = 0;
    std::string rgb;
};

Reference ReadPpm(const std::string& path)
{
    const std::string bytes = ReadFileBytes(path);
    Reference ref;
    int max = 0, header = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &ref.width, &ref.height, &max, &header) != 3 || max != 255)
        return {};
    ref.rgb = bytes.substr(static_cast<size_t>(header) + 1);
    return ref;
}

// Peak signal to noise ratio of the target's pixels against the reference's.
double Psnr(const CTargetDC& target, const Reference& ref)
{
    const size_t count = static_cast<size_t>(ref.width) * ref.height;
    std::vector<RGBQUAD> pixels(count);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, ref.width, -ref.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const HBITMAP bitmap = static_cast<HBITMAP>(::GetCurrentObject(target.GetSafeHdc(), OBJ_BITMAP));
    if (ref.rgb.size() < 3 * count ||
        ::GetDIBits(target.GetSafeHdc(), bitmap, 0, ref.height, pixels.data(), &info, DIB_RGB_COLORS) != ref.height)
        return 0;
    double sum = 0;
    for (size_t i = 0; i < count; ++i) {
        const auto* rgb = reinterpret_cast<const unsigned char*>(&ref.rgb[3 * i]);
        const int d[] = {pixels[i].rgbRed - rgb[0], pixels[i].rgbGreen - rgb[1], pixels[i].rgbBlue - rgb[2]};
        sum += d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    }
    return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * 3 * count / sum);
}

struct LookCase {
    const char* picture;    // under the corpus folder
    const char* reference;  // under made\, its size the tile's
    SIZE upright;           // the natural size, upright
    double floor;           // dB
};

class PictureLookTest : public testing::TestWithParam<LookCase> {};

// Resampled into the tile as a careful tool resamples it, and upright.
TEST_P(PictureLookTest, AsAStandardToolResamplesIt)
{
    const LookCase& c = GetParam();
    CPicture picture;
    ASSERT_TRUE(picture.Load(CorpusFile(c.picture).c_str()));
    EXPECT_EQ(picture.GetSize().cx, c.upright.cx);
    EXPECT_EQ(picture.GetSize().cy, c.upright.cy);
    const Reference ref = ReadPpm(CorpusFile(std::string("made\\") + c.reference + ".ppm"));
    ASSERT_GT(ref.width, 0) << c.reference;
    CTargetDC target(ref.width, ref.height, kMagenta);
    picture.Render(&target, RECT{0, 0, ref.width, ref.height});
    const double psnr = Psnr(target, ref);
    std::printf("[ quality  ] %s at %d x %d: %.1f dB\n", c.picture, ref.width, ref.height, psnr);
    EXPECT_GE(psnr, c.floor) << c.picture;
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureLookTest, testing::ValuesIn(std::vector<LookCase>{
    {"issue70.jpg", "issue70-shrunk", {3120, 4208}, 45},          // a phone photo shrunk 12 times
    {"made\\small.jpg", "small-enlarged", {150, 103}, 45},        // a web picture enlarged 2.3 times
    {"bug725582-testrotate.jpg", "testrotate", {428, 640}, 36},   // stored turned, orientation 6
    {"made\\turned-2.jpg", "turned-2", {480, 320}, 45},
    {"made\\turned-3.jpg", "turned-3", {480, 320}, 45},
    {"made\\turned-4.jpg", "turned-4", {480, 320}, 45},
    {"made\\turned-5.jpg", "turned-5", {480, 320}, 45},
    {"made\\turned-6.jpg", "turned-6", {480, 320}, 45},
    {"made\\turned-7.jpg", "turned-7", {480, 320}, 45},
    {"made\\turned-8.jpg", "turned-8", {480, 320}, 45},
}));

}  // namespace
