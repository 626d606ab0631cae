#include "fw/Wnd.h"

#include "fw/WinApp.h"

#include <cstdio>

namespace {

// Passed as the creation parameter: the object to bind, and whether the
// window reached it.
struct CreateContext {
    CWnd* wnd;
    bool bound;
};

}  // namespace

CWnd::~CWnd()
{
    if (m_hWnd != nullptr) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd != nullptr ? reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA)) : nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, UINT nID)
{
    CreateContext context{this, false};
    const HMENU menuOrId = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID));
    const HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight,
                                        hWndParent, menuOrId, AfxGetInstanceHandle(), &context);
    if (hWnd == nullptr) {
        // A window that was bound has had its WM_NCDESTROY, and PostNcDestroy
        // with it; `this` may be gone.
        if (!context.bound)
            PostNcDestroy();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() { return m_hWnd != nullptr && ::DestroyWindow(m_hWnd); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    const Message outer = m_current;
    m_current = Message{message, wParam, lParam};
    const LRESULT result = WindowProc(message, wParam, lParam);
    m_current = outer;
    return result;
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* context = static_cast<CreateContext*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        context->bound = true;
        context->wnd->m_hWnd = hWnd;
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context->wnd));
    }
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    const LRESULT result = wnd->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        wnd->m_hWnd = nullptr;
        // The loop ends when the main window is gone.
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd == wnd) {
            app->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        wnd->PostNcDestroy();
    }
    return result;
}

std::string AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    char name[80];
    std::snprintf(name, sizeof name, "Vlm:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                  static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    WNDCLASSA existing;
    if (!::GetClassInfoA(AfxGetInstanceHandle(), name, &existing)) {
        WNDCLASSA wc{};
        wc.style = nClassStyle;
        wc.lpfnWndProc = CWnd::StdWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = name;
        if (!::RegisterClassA(&wc))
            return std::string();
    }
    return name;
}
