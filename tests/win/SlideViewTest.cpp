// A slide view in a real window of the test process: the settings it reads at
// creation, the resize, and the ticks it takes.
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

namespace {

// Opens the view's state to the tests.
class SlideViewProbe : public CSlideView {
public:
    SlideViewProbe() : CSlideView(FALSE) {}
    using CSlideView::m_bAdjustPictureSize;
    using CSlideView::m_nChangeTimes;
    using CSlideView::m_nPosX;
    using CSlideView::m_nPosY;
    using CSlideView::m_nResolution;
    using CSlideView::m_nStepX;
    using CSlideView::m_nStepY;
    using CSlideView::m_rcClient;
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

    ScratchFolder m_folder;
    std::string m_ini = m_folder.File("vlm.ini");
    SlideViewProbe m_view;
};

TEST_F(SlideViewTest, DefaultsWithoutSettingsFile)
{
    CreateView(320, 200);
    EXPECT_EQ(m_view.m_nResolution, 10);
    EXPECT_EQ(m_view.m_nStepX, 20);
    EXPECT_EQ(m_view.m_nStepY, 20);
    EXPECT_EQ(m_view.m_nChangeTimes, 50);
    EXPECT_TRUE(m_view.m_bAdjustPictureSize);
    EXPECT_EQ(m_view.m_rcClient.right, 320);
    EXPECT_EQ(m_view.m_rcClient.bottom, 200);
    EXPECT_GE(m_view.m_nPosX, 0);
    EXPECT_LT(m_view.m_nPosX, 320);
    EXPECT_GE(m_view.m_nPosY, 0);
    EXPECT_LT(m_view.m_nPosY, 200);
}

TEST_F(SlideViewTest, SettingsReadAtCreationAreClamped)
{
    WriteFileBytes(m_ini, "[Config]\r\nResolution=50\r\nChangeTimes=0\r\nAdjustPictureSize=7\r\nSpeed=200\r\n");
    CreateView(300, 150);
    EXPECT_EQ(m_view.m_nResolution, 20);
    EXPECT_EQ(m_view.m_nStepY, 30);
    EXPECT_EQ(m_view.m_nChangeTimes, 1);
    EXPECT_EQ(m_view.m_bAdjustPictureSize, 7);  // kept as stored
}

TEST_F(SlideViewTest, ResizeRereadsResolutionButKeepsTheRecordedClient)
{
    WriteFileBytes(m_ini, "[Config]\r\nResolution=10\r\n");
    CreateView(300, 200);
    m_view.SetResolution(20);  // as the settings dialog does, unsaved
    EXPECT_EQ(m_view.m_nStepY, 40);

    WriteFileBytes(m_ini, "[Config]\r\nResolution=5\r\n");
    ::SetWindowPos(m_view.m_hWnd, nullptr, 0, 0, 400, 600, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    EXPECT_EQ(m_view.m_nResolution, 5);
    EXPECT_EQ(m_view.m_nStepX, 30);  // 5 % of the new height, 600
    EXPECT_EQ(m_view.m_rcClient.right, 300);
    EXPECT_EQ(m_view.m_rcClient.bottom, 200);
}

TEST_F(SlideViewTest, SetResolutionSetsTheTileMovingRightAndDown)
{
    CreateView(300, 200);
    m_view.m_nStepX = -7;
    m_view.m_nStepY = -7;
    m_view.SetResolution(0);
    EXPECT_EQ(m_view.m_nResolution, 1);
    EXPECT_EQ(m_view.m_nStepX, 2);
    EXPECT_EQ(m_view.m_nStepY, 2);
}

TEST_F(SlideViewTest, OnlyTimerOneMovesTheTile)
{
    CreateView(300, 200);
    m_view.m_nPosX = 100;
    m_view.m_nPosY = 50;
    Tick(2);
    EXPECT_EQ(m_view.m_nPosX, 100);
    EXPECT_EQ(m_view.m_nPosY, 50);
    Tick(1);
    EXPECT_EQ(m_view.m_nPosX, 120);
    EXPECT_EQ(m_view.m_nPosY, 70);
}

TEST_F(SlideViewTest, TileBouncesOffTheRecordedEdges)
{
    CreateView(300, 200);
    m_view.m_nPosX = 290;  // next step would reach 310
    m_view.m_nPosY = 10;
    m_view.m_nStepY = -20;
    Tick(1);
    EXPECT_EQ(m_view.m_nPosX, 270);
    EXPECT_EQ(m_view.m_nStepX, -20);
    EXPECT_EQ(m_view.m_nPosY, 30);
    EXPECT_EQ(m_view.m_nStepY, 20);
}

TEST_F(SlideViewTest, FrameIsBlackOverTheRecordedClient)
{
    CreateView(64, 48);
    HDC screen = ::GetDC(nullptr);
    CMemoryDC target(CDC{screen});
    CBitmap bitmap(::CreateCompatibleBitmap(screen, 80, 60));
    ::ReleaseDC(nullptr, screen);
    CSelectObject select(target, bitmap.Get());
    const RECT all{0, 0, 80, 60};
    target.FillSolidRect(all, RGB(255, 255, 255));

    m_view.DrawFrame(&target);
    EXPECT_EQ(::GetPixel(target.GetSafeHdc(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(target.GetSafeHdc(), 63, 47), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(target.GetSafeHdc(), 64, 20), RGB(255, 255, 255));  // beyond the frame
    EXPECT_EQ(::GetPixel(target.GetSafeHdc(), 20, 48), RGB(255, 255, 255));
}

TEST_F(SlideViewTest, ZeroHeightClientStartsAtZero)
{
    CreateView(300, 0);
    EXPECT_EQ(m_view.m_rcClient.bottom, 0);
    EXPECT_EQ(m_view.m_nPosY, 0);
    EXPECT_EQ(m_view.m_nStepY, 1);
    Tick(1);  // a frame of no height draws nothing
    EXPECT_EQ(m_view.m_nPosY, -1);  // the empty tile still turns at the bottom edge
}

// Speeds of 110 and more would give periods of zero or less; the animation
// must still run rather than freeze on a wrapped-around period.
class TimerSpeedTest : public SlideViewTest, public testing::WithParamInterface<const char*> {};

TEST_P(TimerSpeedTest, TicksArriveFromTheMessageLoop)
{
    WriteFileBytes(m_ini, std::string("[Config]\r\nSpeed=") + GetParam() + "\r\n");
    CreateView(300, 200);
    const POINT start{m_view.m_nPosX, m_view.m_nPosY};
    const auto moved = [&] { return m_view.m_nPosX != start.x || m_view.m_nPosY != start.y; };
    const DWORD until = ::GetTickCount() + 2000;
    while (!moved() && ::GetTickCount() < until) {
        PumpMessages();
        ::Sleep(5);
    }
    EXPECT_TRUE(moved()) << "Speed=" << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Speeds, TimerSpeedTest, testing::Values("100", "110", "200", "2147483647"));

}  // namespace
