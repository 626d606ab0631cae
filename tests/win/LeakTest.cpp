// A slide view cycling over real pictures for 1,000 ticks leaks no GDI object
// and no kernel handle. Under wine GetGuiResources and GetProcessHandleCount
// answer 0, so GDI objects are counted as headroom (how many more the process
// can make) and kernel handles from the system's handle table.
#include "tests/win/Corpus.h"
#include "tests/win/Handles.h"
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

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

TEST(LeakTest, ThousandFramesAndHundredsOfLoads)
{
    ScratchFolder folder;
    for (const char* name : {"tower.jpg", "tower_progressive.jpg", "cat.jpg", "issue205.jpg"})
        WriteFileBytes(folder.File(name), ReadFileBytes(CorpusFile(name)));
    WriteFileBytes(folder.File("text.jpg"), "no picture");
    const std::string ini = folder.File("vlm.ini");
    WriteFileBytes(ini, "[Config]\r\nVelmoraMode=0\r\nChangeTimes=1\r\nFolder=" + folder.Path() + "\r\n");
    UseProfile(ini);

    ProbeView view;
    ASSERT_TRUE(view.Create(0, WS_POPUP, RECT{0, 0, 320, 240}, nullptr));
    const auto tick = [&](int count) {
        for (int i = 0; i < count; ++i)
            ::SendMessageA(view.m_hWnd, WM_TIMER, 1, 0);
    };
    tick(12);  // a whole pass: every file once, every path of the code warm
    const size_t gdi = GdiHeadroom();
    const size_t handles = handles::KernelHandles(::GetCurrentProcessId());
    ASSERT_GT(gdi, 60000u);
    ASSERT_GT(handles, 0u);

    tick(1000);  // 1,000 frames; some 450 files taken, 270 of them decoded
    EXPECT_EQ(GdiHeadroom(), gdi);
    EXPECT_EQ(handles::KernelHandles(::GetCurrentProcessId()), handles);
    view.DestroyWindow();
}

}  // namespace
