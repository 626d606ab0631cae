// A slide view cycling over small real pictures for thousands of ticks, a new
// one every second tick, leaks no GDI object and no kernel handle. Under wine
// GetGuiResources and GetProcessHandleCount answer 0, so GDI objects are
// counted as headroom (how many more the process can make) and kernel handles
// from the system's handle table.
#include "tests/win/Corpus.h"
#include "tests/win/Handles.h"
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Brushes until creation fails, all deleted again: about 65,500 under wine.
size_t GdiHeadroom()
{
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    while (HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3)))
        brushes.push_back(brush);
    for (HBRUSH brush : brushes)
        ::DeleteObject(brush);
    return brushes.size();
}

class ProbeView : public CSlideView {
public:
    ProbeView() : CSlideView(FALSE) {}
};

// Frames after the warm-up: VLM_LEAK_FRAMES, 20,000 unless it says otherwise.
// Under wine a frame takes 7 to 12 ms whatever the window's size (the fan's 24
// turned fonts are made anew at a random size each frame): two to four minutes.
int Frames()
{
    const char* text = std::getenv("VLM_LEAK_FRAMES");
    const int frames = text != nullptr ? std::atoi(text) : 0;
    return frames > 0 ? frames : 20000;
}

// ChangeTimes 1 takes a new file every second tick (one tick counts, the next
// takes the file), and one more tick reopens the listing after the last file:
// a pass over n files is 2n + 1 ticks. Counts are compared at the ends of
// passes, where the view is in the same state.
TEST(LeakTest, ThousandsOfFramesAndLoads)
{
    ScratchFolder folder;
    const char* pictures[] = {"halves.jpg", "dpi.jpeg", "premature-end.jpg", "issue205.jpg"};
    int number = 0;
    for (const char* name : pictures)
        WriteFileBytes(folder.File(std::to_string(++number) + ".jpg"), ReadFileBytes(CorpusFile(name)));
    WriteFileBytes(folder.File("text.jpg"), "no picture");
    const int pass = 2 * (static_cast<int>(std::size(pictures)) + 1) + 1;
    const std::string ini = folder.File("vlm.ini");
    WriteFileBytes(ini, "[Config]\r\nVelmoraMode=0\r\nChangeTimes=1\r\nFolder=" + folder.Path() + "\r\n");
    UseProfile(ini);

    ProbeView view;
    ASSERT_TRUE(view.Create(0, WS_POPUP, RECT{0, 0, 64, 48}, nullptr));
    const auto tick = [&](int count) {
        for (int i = 0; i < count; ++i)
            ::SendMessageA(view.m_hWnd, WM_TIMER, 1, 0);
    };
    tick(2 * pass);  // every file twice, every path of the code warm
    const size_t gdi = GdiHeadroom();
    const size_t handles = handles::KernelHandles(::GetCurrentProcessId());
    ASSERT_GT(gdi, 60000u);
    ASSERT_GT(handles, 0u);

    tick((Frames() + pass - 1) / pass * pass);  // a new picture every second frame
    EXPECT_EQ(GdiHeadroom(), gdi);
    EXPECT_EQ(handles::KernelHandles(::GetCurrentProcessId()), handles);
    view.DestroyWindow();
}

}  // namespace
