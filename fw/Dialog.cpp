#include "fw/Dialog.h"

#include "fw/MaxChars.h"
#include "fw/WinApp.h"

#include <algorithm>

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_hWndLastControl = m_dlg.GetDlgItem(nIDC);
    m_bEditLastControl = false;
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    PrepareCtrl(nIDC);
    m_bEditLastControl = true;
    return m_hWndLastControl;
}

bool CDataExchange::Fail()
{
    if (m_hWndLastControl != nullptr) {
        // WM_NEXTDLGCTL moves the focus as the dialog manager does, default
        // button included.
        ::SendMessageA(m_dlg.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndLastControl), TRUE);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    return false;
}

bool DDX_Control(CDataExchange& dx, int nIDC, CControl& control)
{
    if (control.m_hWnd == nullptr) {
        const HWND hWndControl = dx.PrepareCtrl(nIDC);
        if (hWndControl == nullptr)
            return false;
        dx.m_dlg.AttachControl(control, hWndControl);
    }
    return true;
}

bool DDX_Scroll(CDataExchange& dx, int nIDC, int& value)
{
    const HWND hWndControl = dx.PrepareCtrl(nIDC);
    if (hWndControl == nullptr)
        return false;
    if (dx.m_bSaveAndValidate)
        value = ::GetScrollPos(hWndControl, SB_CTL);
    else
        ::SetScrollPos(hWndControl, SB_CTL, value, TRUE);
    return true;
}

bool DDX_Text(CDataExchange& dx, int nIDC, std::string& value)
{
    if (dx.PrepareEditCtrl(nIDC) == nullptr)
        return false;
    if (dx.m_bSaveAndValidate)
        value = dx.m_dlg.GetDlgItemText(nIDC);
    else
        dx.m_dlg.SetDlgItemText(nIDC, value);
    return true;
}

bool DDV_MaxChars(CDataExchange& dx, const std::string& value, int nChars)
{
    if (!dx.m_bSaveAndValidate) {
        if (dx.m_bEditLastControl)
            ::SendMessageA(dx.m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        return true;
    }
    if (!ExceedsMaxChars(value, nChars, ::GetACP() == CP_UTF8))
        return true;
    char caption[256] = "";
    ::GetWindowTextA(dx.m_dlg.m_hWnd, caption, sizeof caption);
    ::MessageBoxA(dx.m_dlg.m_hWnd, MaxCharsPrompt(nChars).c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
    return dx.Fail();
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::~CDialog()
{
    if (m_hWnd != nullptr)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
}

INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), GetSafeOwner(), DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

HWND CDialog::GetSafeOwner() const
{
    if (m_hWndParent != nullptr)
        return m_hWndParent;
    const CWinApp* app = AfxGetApp();
    const CWnd* main = app != nullptr ? app->m_pMainWnd : nullptr;
    const HWND hWnd = main != nullptr && main != this ? main->m_hWnd : ::GetActiveWindow();
    return hWnd != nullptr ? ::GetAncestor(hWnd, GA_ROOT) : nullptr;
}

// The dialog procedure only binds: every message after WM_INITDIALOG reaches
// the object through SubclassProc, and this procedure's FALSE leaves it to
// the dialog manager.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dlg = reinterpret_cast<CDialog*>(lParam);
    dlg->m_hWnd = hWnd;
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dlg));
    dlg->m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return dlg->OnInitDialog();
}

LRESULT CALLBACK CDialog::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Only a bound dialog has this procedure.
    auto* dlg = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    const WNDPROC super = dlg->m_pfnSuper;
    const LRESULT result = dlg->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        dlg->m_hWnd = nullptr;
        for (CControl* control : dlg->m_controls)
            control->m_hWnd = nullptr;
        dlg->m_controls.clear();
        // A modal dialog's end ends its own loop only; it posts no quit
        // message, even while it is the application's main window.
        dlg->PostNcDestroy();
    }
    return result;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(*this, bSaveAndValidate);
    return DoDataExchange(dx);
}

void CDialog::AttachControl(CControl& control, HWND hWndControl)
{
    control.m_hWnd = hWndControl;
    m_controls.push_back(&control);
}

std::string CDialog::GetDlgItemText(int nID) const
{
    // Room for the text in any code page: in UTF-8 a character of UTF-16 takes
    // up to three bytes.
    const HWND hWndControl = GetDlgItem(nID);
    std::string text(3 * static_cast<std::size_t>(std::max(::GetWindowTextLengthW(hWndControl), 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(hWndControl, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CDialog::CenterWindow()
{
    RECT rcDlg;
    ::GetWindowRect(m_hWnd, &rcDlg);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& rcArea = monitor.rcWork;

    RECT rcCentre = rcArea;
    const HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hWndOwner != nullptr && ::IsWindowVisible(hWndOwner) && !::IsIconic(hWndOwner))
        ::GetWindowRect(hWndOwner, &rcCentre);

    const int width = rcDlg.right - rcDlg.left;
    const int height = rcDlg.bottom - rcDlg.top;
    int x = (rcCentre.left + rcCentre.right) / 2 - width / 2;
    int y = (rcCentre.top + rcCentre.bottom) / 2 - height / 2;
    // Over an owner near the edge, the dialog stays inside the work area.
    x = std::max(static_cast<int>(rcArea.left), std::min(x, static_cast<int>(rcArea.right) - width));
    y = std::max(static_cast<int>(rcArea.top), std::min(y, static_cast<int>(rcArea.bottom) - height));
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
