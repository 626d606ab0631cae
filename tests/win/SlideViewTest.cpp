// A slide view in a real window of the test process: hand-edited settings, its
// picture folder and cycle over real JPEG files, and the frames it composes.
#include "tests/win/Corpus.h"
#include "tests/win/WinTest.h"
#include "view/Banner.h"
#include "view/PictureCycle.h"
#include "view/SlideView.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

// Opens the view's state to the tests.
class SlideViewProbe : public CSlideView {
public:
    SlideViewProbe() : CSlideView(FALSE) {}
    using CSlideView::m_bSearching;
    using CSlideView::m_finder;
    using CSlideView::m_nChangeTimes;
    using CSlideView::m_nHeight;
    using CSlideView::m_nTick;
    using CSlideView::m_nWidth;
    using CSlideView::m_pPicture;
    using CSlideView::m_strPattern;
    using CSlideView::m_nPosX;
    using CSlideView::m_nPosY;
    using CSlideView::m_nResolution;
    using CSlideView::StepPictureCycle;
};

class SlideViewTest : public testing::Test {
protected:
    void SetUp() override { UseProfile(m_ini); }

    void CreateView(int width, int height)
    {
        // Hidden: under wine without a window manager a visible top-level
        // window takes two seconds to go, and nothing here needs it shown.
        const RECT rc{0, 0, width, height};
        ASSERT_TRUE(m_view.Create(0, WS_POPUP, rc, nullptr));
    }

    void Tick(UINT_PTR id) { ::SendMessageA(m_view.m_hWnd, WM_TIMER, id, 0); }

    // A picture folder of corpus files under new names, chosen by the settings.
    void UsePictures(const std::vector<std::pair<const char*, const char*>>& files, const std::string& more = "")
    {
        for (const auto& [name, source] : files)
            WriteFileBytes(m_folder.File(name), ReadFileBytes(CorpusFile(source)));
        WriteFileBytes(m_ini, "[Config]\r\nVelmoraMode=0\r\nChangeTimes=1\r\nFolder=" + m_folder.Path() + "\r\n" + more);
    }

    ScratchFolder m_folder;
    std::string m_ini = m_folder.File("vlm.ini");
    SlideViewProbe m_view;
};

// With the GDI table full but for the frame's memory context and bitmap, the
// base font cannot be made: the frame is drawn black without the fan, and it
// still takes the fan's random draws, so that later choices get their values.
TEST_F(SlideViewTest, FrameWithoutFontsStillTakesTheFansDraws)
{
    CreateView(64, 48);
    CTargetDC target(64, 48, RGB(255, 255, 255));
    std::vector<HBRUSH> brushes;
    while (HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3)))
        brushes.push_back(brush);
    for (int i = 0; i < 2; ++i) {
        ::DeleteObject(brushes.back());
        brushes.pop_back();
    }
    std::srand(7);
    m_view.DrawFrame(&target);
    const int next = std::rand();
    for (HBRUSH brush : brushes)
        ::DeleteObject(brush);

    std::srand(7);
    banner::LayOut([] { return std::rand(); }, 64, 48);
    EXPECT_EQ(next, std::rand());
    for (int y = 0; y < 48; y += 3)
        for (int x = 0; x < 64; x += 3)
            ASSERT_EQ(target.At(x, y), RGB(0, 0, 0)) << x << "," << y;
}

// Whatever a hand-edited settings file holds, the view runs: its bars stay in
// their ranges and ticks arrive (speeds of 110 and more would give periods of
// zero or less, which must not freeze on a wrapped-around period).
class HostileSettingsTest : public SlideViewTest, public testing::WithParamInterface<std::string> {};

// Every number key with the same text.
std::string EveryKey(const std::string& value)
{
    std::string lines;
    for (const char* key : {"Resolution", "Speed", "ChangeTimes", "VelmoraMode", "AdjustPictureSize"})
        lines += std::string(key) + "=" + value + "\r\n";
    return lines + "Folder=" + value + "\r\nMidi=" + value + "\r\n";
}

// Bytes of every value, NUL and line ends among them, after the section line.
std::string Garbage()
{
    std::string bytes;
    unsigned next = 12345;
    for (int i = 0; i < 4000; ++i)
        bytes += static_cast<char>((next = next * 1103515245 + 12345) >> 16);
    return bytes;
}

TEST_P(HostileSettingsTest, ViewRunsAndTicksArrive)
{
    WriteFileBytes(m_ini, "[Config]\r\n" + GetParam());
    CreateView(300, 200);
    EXPECT_GE(m_view.m_nResolution, 1);
    EXPECT_LE(m_view.m_nResolution, 20);
    EXPECT_GE(m_view.m_nChangeTimes, 1);
    EXPECT_LE(m_view.m_nChangeTimes, 100);
    m_view.m_finder.Close();  // an open listing would keep its folder
    const POINT start{m_view.m_nPosX, m_view.m_nPosY};
    const auto moved = [&] { return m_view.m_nPosX != start.x || m_view.m_nPosY != start.y; };
    const DWORD until = ::GetTickCount() + 2000;
    while (!moved() && ::GetTickCount() < until) {
        PumpMessages();
        ::Sleep(5);
    }
    EXPECT_TRUE(moved()) << GetParam().substr(0, 80);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileSettingsTest, testing::Values(
    "Speed=100\r\n", "Speed=110\r\n", "Speed=200\r\n",
    EveryKey("2147483647"), EveryKey("-2147483648"), EveryKey("-1"), EveryKey("not a number"),
    "Folder=C:\\" + std::string(10000, 'f') + "\r\n",
    Garbage()));

// The cycle over a real folder: ChangeTimes + 1 ticks a picture, the tile at
// its own size or at a third of the client area.
struct CycleCase {
    const char* adjust;
    SIZE square;     // tower.jpg, 512 x 512
    SIZE landscape;  // bug725582-testrotate.jpg, 640 x 428 stored, shown upright (428 x 640)
};

class SlideViewCycleTest : public SlideViewTest, public testing::WithParamInterface<CycleCase> {};

TEST_P(SlideViewCycleTest, TakesEachPictureInTurn)
{
    const CycleCase& c = GetParam();
    UsePictures({{"a.jpg", "tower.jpg"}, {"b.jpg", "bug725582-testrotate.jpg"}},
                std::string("AdjustPictureSize=") + c.adjust + "\r\n");
    WriteFileBytes(m_folder.File("notes.txt"), "not listed");
    CreateView(300, 240);
    ASSERT_TRUE(m_view.m_bSearching);
    EXPECT_EQ(m_view.m_strPattern, m_folder.Path() + "\\*.jpg");
    EXPECT_EQ(m_view.m_nTick, 100);
    EXPECT_FALSE(m_view.m_pPicture);

    const auto expectTile = [&](SIZE size, int tick) {
        EXPECT_EQ(m_view.m_nWidth, size.cx) << "tick " << tick;
        EXPECT_EQ(m_view.m_nHeight, size.cy) << "tick " << tick;
    };
    // The listing's order is the file system's; the sizes tell which came.
    std::set<LONG> widths;
    for (int tick = 1; tick <= 4; ++tick) {
        Tick(1);
        ASSERT_TRUE(m_view.m_pPicture);
        EXPECT_EQ(m_view.m_nTick, (tick - 1) % 2) << "tick " << tick;
        widths.insert(m_view.m_nWidth);
    }
    EXPECT_EQ(widths, (std::set<LONG>{c.square.cx, c.landscape.cx}));
    const LONG second = m_view.m_nWidth;
    Tick(1);  // the listing restarts; the last picture stays
    EXPECT_EQ(m_view.m_nTick, 100);
    EXPECT_EQ(m_view.m_nWidth, second);
    Tick(1);
    expectTile(m_view.m_nWidth == c.square.cx ? c.square : c.landscape, 6);
    EXPECT_NE(m_view.m_nWidth, second);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SlideViewCycleTest, testing::ValuesIn(std::vector<CycleCase>{
    {"0", {512, 512}, {428, 640}},  // the picture's own pixels, upright
    {"1", {80, 80}, {53, 80}},      // a third of 240 high
}));

// 10,000 files, ten of them pictures and the rest empty (tests/win/many-files.sh
// makes them): the cycle takes each in turn and starts over, in reasonable
// time. Files that vanish after the listing was opened leave an empty tile and
// the cycle goes on.
TEST_F(SlideViewTest, TenThousandFilesSomeVanishing)
{
    constexpr int kFiles = 10000;
    const std::string many = FolderOf("VLM_MANY_FILES");
    if (many.empty())
        GTEST_SKIP() << "no VLM_MANY_FILES";
    WriteFileBytes(m_ini, "[Config]\r\nVelmoraMode=0\r\nChangeTimes=1\r\nFolder=" + many + "\r\n");
    CreateView(300, 240);
    ASSERT_TRUE(m_view.m_bSearching);
    for (const int i : {0, 1000, 1, 2})  // two pictures and two empty files go
        ASSERT_TRUE(::DeleteFileA((many + "\\" + std::to_string(100000 + i) + ".jpg").c_str()));

    // One round: the listing's entries, then its reopening.
    const auto round = [&](int& taken, int& shown) {
        taken = shown = 0;
        for (int step = 0; step < 3 * kFiles && m_view.m_bSearching; ++step) {
            m_view.StepPictureCycle();
            if (m_view.m_nTick == pictures::kReopenedTick)
                return;
            if (m_view.m_nTick == 0) {
                ++taken;
                shown += m_view.m_pPicture && m_view.m_pPicture->GetSize().cx > 0;
            }
        }
    };
    int taken = 0, shown = 0;
    const DWORD start = ::GetTickCount();
    round(taken, shown);
    std::printf("[ platform ] a round over %d files took %lu ms\n", taken, ::GetTickCount() - start);
    EXPECT_GE(taken, kFiles - 4);  // the listing may have read ahead past the vanished ones
    EXPECT_LE(taken, kFiles);
    EXPECT_EQ(shown, 8);
    EXPECT_TRUE(m_view.m_bSearching);
    round(taken, shown);
    EXPECT_EQ(taken, kFiles - 4);
    EXPECT_EQ(shown, 8);
    EXPECT_LT(::GetTickCount() - start, 20000u);
    m_view.m_finder.Close();
}

// A picture folder and file whose names are in the system's code page but not
// ASCII; under code page 932 their double-byte characters have a backslash as
// their second byte.
TEST_F(SlideViewTest, PicturesWithNamesInTheAnsiCodePage)
{
    const UINT acp = ::GetACP();
    const char* expected = std::getenv("VLM_ACP");
    EXPECT_EQ(acp, expected != nullptr ? static_cast<UINT>(std::atoi(expected)) : acp);
    std::string folder, file;
    if (acp == 932) {
        folder = "\x95\x5c\x8e\xa6";                                // hyouji
        file = "\x83\x5c\x83\x74\x83\x67\x8e\xca\x90\x5e.jpg";  // sofuto shashin
    } else if (acp == 1252) {
        folder = "Bilder \xc9t\xe9";
        file = "caf\xe9 \xe0 la cr\xe8me.jpg";
    } else {
        GTEST_SKIP() << "code page " << acp;
    }
    const ScratchFolder pictures(m_folder.File(folder));
    WriteFileBytes(pictures.File(file), ReadFileBytes(CorpusFile("tower.jpg")));
    WriteFileBytes(m_ini, "[Config]\r\nVelmoraMode=0\r\nChangeTimes=1\r\nAdjustPictureSize=0\r\nFolder=" +
                              pictures.Path() + "\r\n");
    CreateView(300, 240);
    EXPECT_EQ(m_view.m_strPattern, pictures.Path() + "\\*.jpg");
    ASSERT_TRUE(m_view.m_bSearching);
    Tick(1);
    ASSERT_TRUE(m_view.m_pPicture);
    EXPECT_EQ(m_view.m_nWidth, 512);
    m_view.m_finder.Close();
}

// Velmora mode takes a sub-folder of the internet cache's "Content.IE5"; here
// the only one, beside a file and the dot entries.
TEST_F(SlideViewTest, VelmoraModeTakesACacheSubFolder)
{
    char cache[MAX_PATH];
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, cache, CSIDL_INTERNET_CACHE, TRUE));
    const ScratchFolder content(std::string(cache) + "\\Content.IE5");
    const ScratchFolder sub(content.File("K3X9QZ2A"));
    WriteFileBytes(content.File("index.dat"), "");
    WriteFileBytes(sub.File("p.jpg"), ReadFileBytes(CorpusFile("tower.jpg")));
    CreateView(300, 240);
    EXPECT_EQ(m_view.m_strPattern, sub.Path() + "\\*.jpg");
    EXPECT_TRUE(m_view.m_bSearching);
    m_view.m_finder.Close();  // an open listing would keep its folder
}

// A frame of a view with a picture: outside the tile only black and the fan's
// greys, inside it exactly the picture, clipped at the frame's edges.
TEST_F(SlideViewTest, FrameHoldsTheFanAndThePicture)
{
    CreateView(200, 150);
    m_view.m_pPicture = std::make_unique<CPicture>();
    ASSERT_TRUE(m_view.m_pPicture->Load(CorpusFile("tower.jpg").c_str()));
    m_view.m_nPosX = -40;
    m_view.m_nPosY = 100;
    m_view.m_nWidth = 90;
    m_view.m_nHeight = 80;
    const RECT tile{-40, 100, 50, 180};
    CTargetDC reference(200, 150, 0);
    m_view.m_pPicture->Render(&reference, tile);

    int fan = 0;
    for (int frame = 0; frame < 10; ++frame) {
        CTargetDC target(210, 160, RGB(255, 0, 255));
        m_view.DrawFrame(&target);
        for (int y = 0; y < 160; y += 2) {
            for (int x = 0; x < 210; x += 2) {
                const COLORREF c = target.At(x, y);
                if (x >= 200 || y >= 150)
                    ASSERT_EQ(c, RGB(255, 0, 255)) << x << "," << y;  // beyond the recorded client
                else if (x < tile.right && y >= tile.top)
                    ASSERT_EQ(c, reference.At(x, y)) << x << "," << y;
                else {
                    ASSERT_TRUE(IsGrey(c) && c != RGB(255, 255, 255)) << x << "," << y;
                    fan += c != 0;
                }
            }
        }
    }
    EXPECT_GT(fan, 0);
}

}  // namespace
