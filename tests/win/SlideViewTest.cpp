// A slide view in a real window of the test process: its picture cycle over
// real JPEG files, and no GDI object lost over thousands of frames. (Its
// frames on the screen: tests/e2e.)
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

// A hidden view (under wine a visible top-level window takes two seconds to
// go) over a settings file, its state open to the tests.
struct Probe : CSlideView {
    Probe(const ScratchFolder& folder, int width, int height, const std::string& settings) : CSlideView(FALSE)
    {
        WriteFileBytes(folder.File("vlm.ini"), "[Config]\r\n" + settings);
        UseProfile(folder.File("vlm.ini"));
        EXPECT_TRUE(Create(0, WS_POPUP, RECT{0, 0, width, height}, nullptr));
    }
    ~Probe() override { m_finder.Close(); }  // an open listing would keep its folder
    using CSlideView::m_nHeight, CSlideView::m_nWidth, CSlideView::m_pPicture;
};

// ChangeTimes 1: a tick counts, the next takes the next "*.jpg" of the folder
// in the listing's order; the tile takes the picture's upright size, or a
// third of the client area. A file that fails to load leaves no picture.
// After the last file the listing starts over.
TEST(SlideViewTest, TakesEachPictureInTurn)
{
    ScratchFolder folder;
    ::CopyFileA(CorpusFile("tower.jpg").c_str(), folder.File("a.jpg").c_str(), FALSE);
    ::CopyFileA(CorpusFile("bug725582-testrotate.jpg").c_str(), folder.File("b.jpg").c_str(), FALSE);
    WriteFileBytes(folder.File("c.jpg"), "no picture");
    ::CopyFileA(CorpusFile("dpi.jpeg").c_str(), folder.File("d.txt").c_str(), FALSE);
    const std::set<std::pair<int, int>> tiles[] = {{{0, 0}, {512, 512}, {428, 640}}, {{0, 0}, {80, 80}, {53, 80}}};
    for (const int adjust : {0, 1}) {
        Probe view(folder, 300, 240, "VelmoraMode=0\r\nChangeTimes=1\r\nAdjustPictureSize=" + std::to_string(adjust) +
                                         "\r\nFolder=" + folder.Path() + "\r\n");
        std::set<std::pair<int, int>> shown;  // the tile after each file, 0 x 0 with no picture
        std::pair<int, int> tile, first;
        for (int tick = 1; tick <= 8; ++tick) {
            ::SendMessageA(view.m_hWnd, WM_TIMER, 1, 0);
            const bool loaded = view.m_pPicture && view.m_pPicture->GetSize().cx > 0;
            tile = loaded ? std::pair{view.m_nWidth, view.m_nHeight} : std::pair{0, 0};
            if (tick % 2 == 1 && tick < 7)
                shown.insert(tile);
            first = tick == 1 ? tile : first;
        }
        EXPECT_EQ(tile, first) << adjust;  // tick 7 reopened the listing, tick 8 took its first file
        EXPECT_EQ(shown, tiles[adjust]) << adjust;
    }
}

// The bytes of the blocks in use on the process's heap, where the file
// buffers of the pictures live.
size_t HeapBytes()
{
    size_t bytes = 0;
    PROCESS_HEAP_ENTRY entry{};
    while (::HeapWalk(::GetProcessHeap(), &entry))
        bytes += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 ? entry.cbData : 0;
    return bytes;
}

// Objects are counted as headroom, how many more the process can make: under
// wine GetGuiResources answers 0.
size_t GdiHeadroom()
{
    std::vector<HBRUSH> brushes;
    while (HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3)))
        brushes.push_back(brush);
    for (HBRUSH brush : brushes)
        ::DeleteObject(brush);
    return brushes.size();
}

// Over real pictures and broken files, a new one every second frame, for
// VLM_LEAK_FRAMES frames (10,000 unless it says otherwise: about two
// minutes) no GDI object is lost (real Windows gives a process 10,000, so one
// lost a frame ends a saver within minutes; counts are compared exactly) and
// memory stays where it was.
// A pass over the five files is 11 ticks (two a file, one that reopens the
// listing); counts are compared at the ends of passes, where the view is in
// the same state. (The soak counts the kernel handles and memory of vlm.scr
// from outside.)
TEST(SlideViewLeakTest, ThousandsOfFramesAndLoads)
{
    ScratchFolder folder;
    const char* files[] = {"dpi.jpeg", "tower.jpg", "premature-end.jpg", "issue205.jpg"};
    for (int i = 0; i < 4; ++i)
        ::CopyFileA(CorpusFile(files[i]).c_str(), folder.File(std::to_string(i) + ".jpg").c_str(), FALSE);
    WriteFileBytes(folder.File("text.jpg"), "no picture");
    Probe view(folder, 64, 48, "VelmoraMode=0\r\nChangeTimes=1\r\nFolder=" + folder.Path());
    const char* frames = std::getenv("VLM_LEAK_FRAMES");
    size_t headroom = 0, memory = 0;
    for (int pass = 0; pass < 2 + (frames != nullptr ? std::atoi(frames) : 10000) / 11 + 1; ++pass) {
        if (pass == 2)  // every path of the code warm
            headroom = GdiHeadroom(), memory = HeapBytes();
        for (int tick = 0; tick < 11; ++tick)
            ::SendMessageA(view.m_hWnd, WM_TIMER, 1, 0);
    }
    EXPECT_GT(headroom, 60000u);
    EXPECT_EQ(GdiHeadroom(), headroom);
    EXPECT_LT(HeapBytes(), memory + 65536);  // a picture's file lost a pass would be 12 MB at 2,000 frames
}

}  // namespace
