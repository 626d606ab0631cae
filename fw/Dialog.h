// Modal dialogs from resource templates. DoModal runs the template through the
// dialog manager; at WM_INITDIALOG the window is bound to the object and
// subclassed, so that the object's message map sees every later message and
// default processing is the dialog manager's own window procedure. Data moves
// between members and controls through one DoDataExchange, which lists the
// controls in order and serves both directions:
//
//     bool CMyDlg::DoDataExchange(CDataExchange& dx)
//     {
//         return DDX_Scroll(dx, IDC_SPEED, m_nSpeed) &&
//                DDX_Text(dx, IDC_FOLDER, m_strFolder) && DDV_MaxChars(dx, m_strFolder, 256);
//     }
//
// A failed validation has told the user, put the focus on the offending
// control and ends the exchange with false.
#pragma once

#include "fw/Controls.h"
#include "fw/MsgMap.h"
#include "fw/Wnd.h"

#include <string>
#include <vector>

class CDialog;

// One exchange: its direction and the control it has reached.
class CDataExchange {
public:
    CDataExchange(CDialog& dlg, bool bSaveAndValidate) : m_dlg(dlg), m_bSaveAndValidate(bSaveAndValidate) {}
    CDataExchange(const CDataExchange&) = delete;
    CDataExchange& operator=(const CDataExchange&) = delete;

    // The control with this id, which becomes the one that a failure names.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Gives the last prepared control the focus (the whole text of an edit
    // box selected) and returns false.
    bool Fail();

    CDialog& m_dlg;
    const bool m_bSaveAndValidate;  // true: controls to members, at OK
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
};

// Each DDX_ is false when the dialog has no control with the id.
// Attaches the member to its control, once.
bool DDX_Control(CDataExchange& dx, int nIDC, CControl& control);
// A scroll bar's position.
bool DDX_Scroll(CDataExchange& dx, int nIDC, int& value);
// An edit box's whole text.
bool DDX_Text(CDataExchange& dx, int nIDC, std::string& value);
// After DDX_Text: loading limits typing to nChars; saving refuses a longer
// text with the over-long-entry message (exclamation icon).
bool DDV_MaxChars(CDataExchange& dx, const std::string& value, int nChars);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, HWND hParent = nullptr) : m_nIDTemplate(nIDTemplate), m_hWndParent(hParent) {}
    // A window that outlives its object goes back to the dialog manager alone.
    ~CDialog() override;

    // Runs the dialog; IDOK or IDCANCEL as it ended, -1 when it could not be
    // made. Without a parent window it is owned by the application's main
    // window, or else by the thread's active window, if there is one.
    INT_PTR DoModal();
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

    // Loading (false) or saving (true) exchange; false when a validation failed.
    bool UpdateData(bool bSaveAndValidate = true);

    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    std::string GetDlgItemText(int nID) const;
    void SetDlgItemText(int nID, const std::string& text) { ::SetDlgItemTextA(m_hWnd, nID, text.c_str()); }
    // Centres over the owner, or without one in the work area of the screen.
    void CenterWindow();
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }

    // Remembered by DDX_Control, so that the dialog's end detaches them.
    void AttachControl(CControl& control, HWND hWndControl);

protected:
    // Runs the loading exchange. TRUE: the focus goes to the first tab stop.
    virtual BOOL OnInitDialog();
    virtual bool DoDataExchange(CDataExchange&) { return true; }
    // OK: the saving exchange, and the end with IDOK only if it succeeded.
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    HWND GetSafeOwner() const;
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    HWND m_hWndParent;
    WNDPROC m_pfnSuper = nullptr;  // the dialog manager's window procedure
    std::vector<CControl*> m_controls;
};
