// Controls of a dialog, reached through members of the dialog's class. A
// control is borrowed: the dialog's window made it and destroys it. The first
// data exchange attaches a member to its control (DDX_Control) and the
// dialog's destruction detaches it again.
#pragma once

#include <windows.h>

class CControl {
public:
    CControl() = default;
    CControl(const CControl&) = delete;
    CControl& operator=(const CControl&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }

    HWND m_hWnd = nullptr;

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
};

// A push button or check box.
class CButton : public CControl {
public:
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int nCheck) { Send(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

// A scroll-bar control (SB_CTL). The position always lies inside the range.
class CScrollBar : public CControl {
public:
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE)
    {
        ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
    }
};
