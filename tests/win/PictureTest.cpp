// The picture object over real files, decoded by the system's imaging
// component: what it decodes or refuses, the upright size, and drawing at a
// size other than the one kept; and the folder listing that the pictures' way
// reads, with Windows' file times. (JPEG, PNG, GIF, WebP and the pixels drawn,
// against ImageMagick's resampling of the same pictures: tests/e2e, on the
// screen.)
#include "fw/Com.h"
#include "tests/win/TargetDC.h"
#include "tests/win/WinTest.h"
#include "pictures/Picture.h"
#include "pictures/WinFiles.h"

// Sizes are the pictures' pixels, upright. A picture kept at one size is drawn
// at another, a transparent pixel black; with no rectangle at its natural size
// at the origin; no picture draws nothing and says so.
TEST(PictureTest, DecodesWhatTheSystemCan)
{
    const CComApartment mta(COINIT_MULTITHREADED);
    const struct {
        const char* file;
        SIZE size;  // upright; 0 x 0: no picture
    } cases[] = {
        {"tower_progressive.jpg", {512, 512}}, {"cat.jpg", {512, 512}},  // greyscale
        {"made/turned-8.jpg", {480, 320}},  // stored 320 x 480, orientation 8
        {"made/tower.bmp", {64, 64}},          {"made/tower.tif", {64, 64}},
        {"CVE-2017-2862.jpg", {0, 0}},  // the decoder fails on its scan header
        {"rec1.mid", {0, 0}},           {"missing.jpg", {0, 0}},
    };
    for (const auto& c : cases) {
        CPicture picture;
        EXPECT_EQ(picture.Load(CorpusFile(c.file).c_str()), c.size.cx > 0) << c.file;
        EXPECT_TRUE(picture.GetSize().cx == c.size.cx && picture.GetSize().cy == c.size.cy) << c.file;
    }
    CPicture picture;
    ASSERT_TRUE(picture.Load(CorpusFile("made/alpha.png").c_str()));  // red, then transparent
    CTargetDC target(8, 4, RGB(255, 0, 255));
    EXPECT_TRUE(picture.Render(&target, RECT{2, 1, 6, 3}));
    for (const auto& [at, colour] : {std::pair{POINT{2, 1}, RGB(255, 0, 0)}, {{5, 2}, RGB(0, 0, 0)},
                                     {{1, 1}, RGB(255, 0, 255)}, {{6, 2}, RGB(255, 0, 255)}})
        EXPECT_EQ(target.At(at.x, at.y), colour) << at.x << ", " << at.y;
    EXPECT_TRUE(picture.Render(&target));
    EXPECT_EQ(target.At(0, 0), RGB(255, 0, 0));
    EXPECT_FALSE(CPicture().Render(&target, RECT{0, 0, 8, 4}));
}

// A file's last write, as Windows keeps it, is listed in microseconds since
// 1601: the count of the browsers' own records, with which a cache's entries
// are put newest first.
TEST(PictureTest, ListsFilesWithTheirLastWrite)
{
    ScratchFolder folder;
    WriteFileBytes(folder.File("a.jpg"), "12345");
    const pictures::Time written = pictures::FromUnixSeconds(1767225600) + 123456;  // 2026-01-01, and a bit
    const ULONGLONG ticks = static_cast<ULONGLONG>(written) * 10;  // Windows counts 100 ns
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const HANDLE file =
        ::CreateFileA(folder.File("a.jpg").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &time));
    ::CloseHandle(file);
    const std::vector<pictures::FolderEntry> entries = CWinFiles().List(folder.Path());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path, folder.File("a.jpg"));
    EXPECT_FALSE(entries[0].folder);
    EXPECT_EQ(entries[0].size, 5u);
    EXPECT_EQ(entries[0].written, written);
}
