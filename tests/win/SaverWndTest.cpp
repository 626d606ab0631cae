// The full-screen window in the test process: what closes it (by a posted
// WM_CLOSE, so only once the handler has returned) and what does not.
#include "saver/SaverWnd.h"
#include "tests/win/WinTest.h"

#include <vector>

// A full-screen window over no settings file; it deletes itself.
static HWND CreateFullScreen(const ScratchFolder& folder)
{
    UseProfile(folder.File("vlm.ini"));
    auto* wnd = new CSaverWnd;
    EXPECT_TRUE(wnd->CreateFullScreen());
    PumpMessages();
    return wnd->m_hWnd;
}

// Above every other window (covering the screen: tests/e2e), never drawn
// inactive, the cursor hidden, until the first sign of the user.
TEST(SaverWndTest, ClosesOnTheFirstSignOfTheUser)
{
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        std::vector<LPARAM> lParams;  // one message each
        bool closes;
    } cases[] = {
        {"key", WM_KEYDOWN, 'A', {0x001E0001}, true},          {"Alt", WM_SYSKEYDOWN, VK_MENU, {0x20380001}, true},
        {"left button", WM_LBUTTONDOWN, MK_LBUTTON, {0}, true}, {"middle button", WM_MBUTTONDOWN, 0, {0}, true},
        {"right button", WM_RBUTTONDOWN, MK_RBUTTON, {0}, true}, {"deactivated", WM_ACTIVATE, WA_INACTIVE, {0}, true},
        {"application deactivated", WM_ACTIVATEAPP, FALSE, {0}, true},
        {"mouse moved", WM_MOUSEMOVE, 0, {MAKELPARAM(100, 100), MAKELPARAM(300, 200)}, true},  // one is not the first
        {"button released", WM_LBUTTONUP, 0, {0}, false},      {"key released", WM_KEYUP, 'A', {0}, false},
        {"SC_SCREENSAVE", WM_SYSCOMMAND, SC_SCREENSAVE, {0}, false}, {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, {0}, false},
        {"activated", WM_ACTIVATE, WA_ACTIVE, {0}, false},     {"app activated", WM_ACTIVATEAPP, TRUE, {0}, false},
    };
    ScratchFolder folder;
    const HWND first = CreateFullScreen(folder);
    EXPECT_TRUE(::GetWindowLongA(first, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(::SendMessageA(first, WM_NCACTIVATE, FALSE, 0), FALSE);
    ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(::SendMessageA(first, WM_SETCURSOR, reinterpret_cast<WPARAM>(first), MAKELPARAM(HTCLIENT, 0)), TRUE);
    EXPECT_EQ(::GetCursor(), nullptr);
    ::DestroyWindow(first);
    for (const auto& c : cases) {
        const HWND hWnd = CreateFullScreen(folder);
        for (const LPARAM lParam : c.lParams)
            ::SendMessageA(hWnd, c.message, c.wParam, lParam);
        EXPECT_TRUE(::IsWindow(hWnd)) << c.name << ": closed inside the handler";
        PumpMessages();
        EXPECT_EQ(!::IsWindow(hWnd), c.closes) << c.name;
        ::DestroyWindow(hWnd);
        PumpMessages();
    }
}
