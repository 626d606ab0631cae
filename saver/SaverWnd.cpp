#include "saver/SaverWnd.h"

BEGIN_MESSAGE_MAP(CSaverWnd, CSlideView)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CSaverWnd::CSaverWnd() : CSlideView(TRUE) {}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen()
{
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr);
}

// The end of the window is the end of the run.
void CSaverWnd::OnDestroy()
{
    ::PostQuitMessage(0);
    CSlideView::OnDestroy();
}
