// A slide view in a real window of the test process, its pictures decoded on
// the decoding thread: no GDI object or memory lost over thousands of frames
// and pictures, frames that go on while a picture decodes, and a thread that
// ends by itself when the view closes in the middle of a decode. (Its cycle:
// the native tables; its frames and tiles on the screen: tests/e2e.)
#include "fw/Com.h"
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// A hidden view (under wine a visible top-level window takes two seconds to
// go) over a folder, its state open to the tests.
struct Probe : CSlideView {
    Probe(const ScratchFolder& folder, const std::string& ini, LONG width = 64) : CSlideView(FALSE)
    {
        WriteFileBytes(folder.File("vlm.ini"), "[Config]\r\nVelmoraMode=0\r\nFolder=" + folder.Path() + "\r\n" + ini);
        UseProfile(folder.File("vlm.ini"));
        EXPECT_TRUE(Create(0, WS_POPUP, RECT{0, 0, width, width * 3 / 4}, nullptr));
    }
    bool Asked() const { return m_pLoader->Busy(m_nClient); }
    const CPicture* Picture() const { return m_pPicture.get(); }
    void Tick() { ::SendMessageA(m_hWnd, WM_TIMER, 1, 0); }
    // What the view asked for decoded (or passed over) and delivered.
    void Settle()
    {
        for (const DWORD until = ::GetTickCount() + 10000; Asked() && ::GetTickCount() < until; ::Sleep(1))
            PumpMessages();
    }
};

// The bytes of the blocks in use on the process's heaps, where the pictures'
// files and pixels live.
size_t HeapBytes()
{
    HANDLE heaps[64];
    const DWORD count = ::GetProcessHeaps(64, heaps);
    size_t bytes = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heaps[i], &entry))
            bytes += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 ? entry.cbData : 0;
    }
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

// Over real pictures and broken files, a new one every third frame, for
// VLM_LEAK_FRAMES frames (10,000 unless it says otherwise: about two
// minutes) no GDI object is lost (real Windows gives a process 10,000, so one
// lost a frame ends a saver within minutes; counts are compared exactly) and
// memory stays where it was. A pass over the five files is 6 ticks (each of
// the two pictures shown, counted and asked for; the three others passed over
// on the decoding thread, and the pass started again); counts are compared at
// the ends of passes, where the view is in the same state. (The soak counts the kernel
// handles and memory of vlm.scr from outside.)
TEST(SlideViewLeakTest, ThousandsOfFramesAndLoads)
{
    ScratchFolder folder;
    const char* files[] = {"dpi.jpeg", "made/tower.png", "premature-end.jpg", "issue205.jpg"};
    for (int i = 0; i < 4; ++i)
        ::CopyFileA(CorpusFile(files[i]).c_str(), folder.File(std::to_string(i) + ".jpg").c_str(), FALSE);
    WriteFileBytes(folder.File("text.jpg"), "no picture");
    Probe view(folder, "ChangeTimes=1\r\n");
    const char* frames = std::getenv("VLM_LEAK_FRAMES");
    size_t headroom = 0, memory = 0;
    for (int pass = 0; pass < 2 + (frames != nullptr ? std::atoi(frames) : 10000) / 6 + 1; ++pass) {
        if (pass == 2)  // every path of the code warm
            headroom = GdiHeadroom(), memory = HeapBytes();
        for (int tick = 0; tick < 6; ++tick) {
            view.Tick();
            view.Settle();
        }
    }
    EXPECT_EQ(GdiHeadroom(), headroom);
    EXPECT_LT(HeapBytes(), memory + 65536);  // a picture's pixels lost a pass would be megabytes
}

// At Speed 100 a frame every 50 ms, across changes of 48-megapixel photos:
// frames go on while each photo decodes (a decode on the window's thread
// would leave a frame or two between changes, however fast the machine).
// Closed in the middle of a decode, a view goes at once; the picture is
// dropped once it is decoded, and nothing is left of it. (The thread's end:
// the native tables.)
TEST(SlideViewTest, NoDecodeIsAwaited)
{
    ScratchFolder folder;
    for (const char* name : {"a.jpg", "b.jpg"})
        ::CopyFileA(CorpusFile("made/photo-48mp.jpg").c_str(), folder.File(name).c_str(), FALSE);
    const DWORD decode = [&] {  // the time of a decode on its own, COM and the decoder warm after
        const CComApartment mta(COINIT_MULTITHREADED);
        const DWORD t = ::GetTickCount();
        CPicture picture;
        return picture.Load(folder.File("a.jpg").c_str(), [](SIZE) { return SIZE{1, 1}; }) ? ::GetTickCount() - t : 0;
    }();
    {
        Probe view(folder, "Speed=100\r\nChangeTimes=1\r\n");
        int changes = 0, frames = 0, fewest = INT_MAX;
        const DWORD until = ::GetTickCount() + 120000;  // a limit that only catches a hang
        const CPicture* shown = nullptr;
        MSG msg;
        while (changes < 3 && ::GetTickCount() < until && ::GetMessageA(&msg, nullptr, 0, 0)) {
            frames += msg.message == WM_TIMER && msg.hwnd == view.m_hWnd;
            ::DispatchMessageA(&msg);
            if (std::exchange(shown, view.Picture()) != view.Picture()) {
                ++changes;
                fewest = std::min(fewest, std::exchange(frames, 0));
            }
        }
        EXPECT_EQ(changes, 3);
        EXPECT_GE(fewest, 4) << "frames while a photo decodes";
    }
    const size_t headroom = GdiHeadroom(), memory = HeapBytes();
    const DWORD start = ::GetTickCount();
    {
        Probe view(folder, "ChangeTimes=1\r\n", 1920);  // a tile of megabytes
        EXPECT_TRUE((view.Tick(), view.Asked()));
    }
    EXPECT_LT(::GetTickCount() - start, decode / 2) << "a decode takes " << decode << " ms";
    for (const DWORD until = ::GetTickCount() + 60000; HeapBytes() > memory + 65536 && ::GetTickCount() < until;)
        ::Sleep(50);  // the decode ends by itself, however long it takes
    EXPECT_LT(HeapBytes(), memory + 65536);
    EXPECT_EQ(GdiHeadroom(), headroom);
}

}  // namespace
