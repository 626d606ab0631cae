#include "saver/SaverWnd.h"

BEGIN_MESSAGE_MAP(CSaverWnd, CSlideView)
    ON_WM_SYSCOMMAND()
    ON_WM_DESTROY()
    ON_WM_SETCURSOR()
    ON_WM_NCACTIVATE()
    ON_WM_ACTIVATE()
    ON_WM_ACTIVATEAPP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_SYSKEYDOWN()
END_MESSAGE_MAP()

CSaverWnd::CSaverWnd() : CSlideView(TRUE) {}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen()
{
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr);
}

// The desktop must not start a second saver over this one, and Alt+F4 closes
// the window through its key press, not through SC_CLOSE.
void CSaverWnd::OnSysCommand(UINT nID, LPARAM)
{
    if (nID == SC_SCREENSAVE || nID == SC_CLOSE)
        return;
    Default();
}

// The end of the window is the end of the run.
void CSaverWnd::OnDestroy()
{
    ::PostQuitMessage(0);
    CSlideView::OnDestroy();
}

BOOL CSaverWnd::OnSetCursor(HWND, UINT, UINT)
{
    ::SetCursor(nullptr);
    return TRUE;
}

// Refuses to be drawn inactive.
BOOL CSaverWnd::OnNcActivate(BOOL bActive)
{
    if (!bActive)
        return FALSE;
    return static_cast<BOOL>(Default());
}

void CSaverWnd::OnActivate(UINT nState, HWND, BOOL)
{
    if (nState == WA_INACTIVE)
        Close();
    Default();
}

void CSaverWnd::OnActivateApp(BOOL bActive, DWORD)
{
    if (!bActive)
        Close();
    Default();
}

void CSaverWnd::OnMouseMove(UINT, POINT point)
{
    if (m_mouse.EndsRun(point.x, point.y))
        Close();
    Default();
}

void CSaverWnd::OnLButtonDown(UINT, POINT)
{
    Close();
    Default();
}

void CSaverWnd::OnMButtonDown(UINT, POINT)
{
    Close();
    Default();
}

void CSaverWnd::OnRButtonDown(UINT, POINT)
{
    Close();
    Default();
}

void CSaverWnd::OnKeyDown(UINT, UINT, UINT)
{
    Close();
    Default();
}

void CSaverWnd::OnSysKeyDown(UINT, UINT, UINT)
{
    Close();
    Default();
}
