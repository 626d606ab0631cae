// The full-screen window in the test process: which messages close it (by a
// posted WM_CLOSE, so only once the handler has returned) and which do not.
#include "saver/SaverWnd.h"
#include "tests/win/WinTest.h"

#include <vector>

namespace {

struct InputCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool closes;
};

class SaverWndTest : public testing::TestWithParam<InputCase> {
protected:
    void SetUp() override
    {
        UseProfile(m_folder.File("vlm.ini"));
        auto* wnd = new CSaverWnd;
        ASSERT_TRUE(wnd->CreateFullScreen());
        m_hWnd = wnd->m_hWnd;
        PumpMessages();
    }
    void TearDown() override
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        PumpMessages();
    }

    ScratchFolder m_folder;
    HWND m_hWnd = nullptr;
};

TEST_P(SaverWndTest, ClosesOnTheFirstSignOfTheUser)
{
    const InputCase& c = GetParam();
    ASSERT_TRUE(::IsWindow(m_hWnd));
    ::SendMessageA(m_hWnd, c.message, c.wParam, c.lParam);
    EXPECT_TRUE(::IsWindow(m_hWnd)) << c.name << ": closed inside the handler";
    PumpMessages();
    EXPECT_EQ(!::IsWindow(m_hWnd), c.closes) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Messages, SaverWndTest, testing::ValuesIn(std::vector<InputCase>{
    {"key", WM_KEYDOWN, 'A', 0x001E0001, true},
    {"Alt", WM_SYSKEYDOWN, VK_MENU, 0x20380001, true},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10), true},
    {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(10, 10), true},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10), true},
    {"deactivated", WM_ACTIVATE, WA_INACTIVE, 0, true},
    {"application deactivated", WM_ACTIVATEAPP, FALSE, 0, true},
    {"button released", WM_LBUTTONUP, 0, MAKELPARAM(10, 10), false},
    {"key released", WM_KEYUP, 'A', 0xC01E0001, false},
    {"SC_SCREENSAVE", WM_SYSCOMMAND, SC_SCREENSAVE, 0, false},
    {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, 0, false},
    {"activated", WM_ACTIVATE, WA_ACTIVE, 0, false},
    {"application activated", WM_ACTIVATEAPP, TRUE, 0, false},
}));

TEST_F(SaverWndTest, MouseAwayFromItsFirstPositionCloses)
{
    // Whatever position was reported first, two different ones cannot both be it.
    ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
    PumpMessages();
    EXPECT_FALSE(::IsWindow(m_hWnd));
}

TEST_F(SaverWndTest, RefusesToBeDrawnInactiveAndHidesTheCursor)
{
    EXPECT_EQ(::SendMessageA(m_hWnd, WM_NCACTIVATE, FALSE, 0), FALSE);
    ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(::SendMessageA(m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, 0)),
              TRUE);
    EXPECT_EQ(::GetCursor(), nullptr);
}

TEST_F(SaverWndTest, CoversTheScreenAboveOtherWindows)
{
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

}  // namespace
