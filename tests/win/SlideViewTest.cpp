// A slide view in a real window of the test process: no GDI object lost over
// thousands of frames and pictures. (Its cycle: the native tables; its frames
// and tiles on the screen: tests/e2e.)
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

#include <cstdlib>
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
};

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
