// A window bound to a C++ object. One static window procedure stores the
// object at WM_NCCREATE and hands every message to its message map
// (WindowProc, written with the macros of fw/MsgMap.h); a message that the
// map does not list goes to the base class's map and finally to the default
// window procedure. After the window's last message comes PostNcDestroy.
#pragma once

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    // Destroys a window that is still attached, without routing its last
    // messages to an object that is half gone.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // CreateWindowExA for this object. When the creation fails before the
    // window ever reached the object, PostNcDestroy is called here, so that an
    // object that deletes itself does so on every path.
    BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, UINT nID);
    BOOL DestroyWindow();

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    void GetClientRect(RECT* lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void InvalidateRect(const RECT* lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }

    // The object bound to a window of this process, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    HWND m_hWnd = nullptr;

protected:
    // The message map. The base class's map is the default window procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message now being handled.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window's last message (WM_NCDESTROY).
    virtual void PostNcDestroy() {}
    // Hands a message to the message map; Default() then means this message.
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    // Base handlers for the maps of derived classes: default processing.
    void OnDestroy() { Default(); }

private:
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    static LRESULT CALLBACK StdWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    Message m_current{};

    friend std::string AfxRegisterWndClass(UINT, HCURSOR, HBRUSH, HICON);
};

// Registers (once) a window class served by the framework's window procedure
// and returns its name: style, cursor, background brush, icon.
std::string AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                HICON hIcon = nullptr);
