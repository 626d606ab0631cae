#include "settings/SettingsDlg.h"

#include "fw/FileDialog.h"
#include "fw/Shell.h"
#include "fw/WinApp.h"
#include "res/resource.h"
#include "settings/AboutDlg.h"
#include "settings/SettingsRules.h"

#include <shlobj.h>

namespace {

// The longest folder or MIDI text that OK accepts.
constexpr int kMaxPathText = 256;

static_assert(settings::kLineLeft == SB_LINELEFT && settings::kRight == SB_RIGHT &&
                  settings::kEndScroll == SB_ENDSCROLL,
              "the scroll codes are the platform's");

// Opens the folder browser on the folder named by the callback data.
int CALLBACK BrowseCallbackProc(HWND hWnd, UINT uMsg, LPARAM, LPARAM lpData)
{
    if (uMsg == BFFM_INITIALIZED)
        ::SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_HSCROLL()
    ON_EN_KILLFOCUS(IDC_FOLDER, OnKillFocusFolder)
    ON_BN_CLICKED(IDC_VERSION, OnVersion)
    ON_EN_KILLFOCUS(IDC_MIDI, OnKillFocusMidi)
    ON_BN_CLICKED(IDC_BROWSE_FOLDER, OnBrowseFolder)
    ON_BN_CLICKED(IDC_BROWSE_MIDI, OnBrowseMidi)
    ON_BN_CLICKED(IDC_VELMORA_MODE, OnVelmoraMode)
    ON_BN_CLICKED(IDC_ADJUST_PICTURE_SIZE, OnAdjustPictureSize)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CSettingsDlg::CSettingsDlg(HWND hParent)
    : CDialog(IDD_SETTINGS, hParent),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_wndPreview(FALSE)
{
}

CSettingsDlg::~CSettingsDlg() = default;

bool CSettingsDlg::DoDataExchange(CDataExchange& dx)
{
    return DDX_Control(dx, IDC_ADJUST_PICTURE_SIZE, m_chkAdjustPictureSize) &&
           DDX_Control(dx, IDC_VELMORA_MODE, m_chkVelmoraMode) &&
           DDX_Control(dx, IDC_CHANGETIMES, m_sbChangeTimes) &&
           DDX_Control(dx, IDC_SPEED, m_sbSpeed) &&
           DDX_Control(dx, IDC_RESOLUTION, m_sbResolution) &&
           DDX_Scroll(dx, IDC_RESOLUTION, m_nResolution) &&
           DDX_Scroll(dx, IDC_SPEED, m_nSpeed) &&
           DDX_Text(dx, IDC_FOLDER, m_strFolder) && DDV_MaxChars(dx, m_strFolder, kMaxPathText) &&
           DDX_Scroll(dx, IDC_CHANGETIMES, m_nChangeTimes) &&
           DDX_Text(dx, IDC_MIDI, m_strMidi) && DDV_MaxChars(dx, m_strMidi, kMaxPathText);
}

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // The preview takes the hidden placeholder's place; should it fail, the
    // dialog works without one.
    if (m_wndPreview.Create(0, WS_CHILD | WS_VISIBLE, GetPreviewRect(), m_hWnd)) {
        m_wndPreview.SetResolution(m_nResolution);
        m_wndPreview.SetSpeed(m_nSpeed);
        m_wndPreview.SetChangeTimes(m_nChangeTimes);
    }

    // The loading exchange ran before the ranges existed: positions again.
    m_sbResolution.SetScrollRange(1, 20);
    m_sbResolution.SetScrollPos(m_nResolution);
    m_sbSpeed.SetScrollRange(1, 100);
    m_sbSpeed.SetScrollPos(m_nSpeed);
    m_sbChangeTimes.SetScrollRange(1, 100);
    m_sbChangeTimes.SetScrollPos(m_nChangeTimes);

    m_chkVelmoraMode.SetCheck(m_nVelmoraMode != 0 ? BST_CHECKED : BST_UNCHECKED);
    m_chkAdjustPictureSize.SetCheck(m_nAdjustPictureSize != 0 ? BST_CHECKED : BST_UNCHECKED);
    OnVelmoraMode();

    CenterWindow();

    const HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    char about[256] = "";
    ::LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, about, sizeof about);
    if (hSysMenu != nullptr && about[0] != '\0') {
        ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
    return TRUE;
}

// Commands 16 to 31 are the About entry's.
void CSettingsDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        OnVersion();
    else
        Default();
}

// Only a dialog minimised from outside is iconic: it shows its icon.
void CSettingsDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rc;
    GetClientRect(&rc);
    const int x = (rc.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
}

HCURSOR CSettingsDlg::OnQueryDragIcon() { return m_hIcon; }

// Every bar steps by 1 and 10 alike; whichever moved, the preview gets all
// three positions. The value members take the positions only at OK.
void CSettingsDlg::OnHScroll(UINT nSBCode, UINT nPos, HWND hScrollBar)
{
    if (hScrollBar != nullptr) {
        const int target = settings::ScrollTarget(static_cast<int>(nSBCode), ::GetScrollPos(hScrollBar, SB_CTL),
                                                  static_cast<int>(nPos));
        ::SetScrollPos(hScrollBar, SB_CTL, target, TRUE);
    }
    if (hScrollBar != nullptr)
        ApplyBarsToPreview();
    Default();
}

void CSettingsDlg::ApplyBarsToPreview()
{
    if (m_wndPreview.GetSafeHwnd() == nullptr)
        return;
    m_wndPreview.SetSpeed(m_sbSpeed.GetScrollPos());
    m_wndPreview.SetResolution(m_sbResolution.GetScrollPos());
    m_wndPreview.SetChangeTimes(m_sbChangeTimes.GetScrollPos());
}

RECT CSettingsDlg::GetPreviewRect() const
{
    RECT rc;
    ::GetWindowRect(GetDlgItem(IDC_PREVIEW), &rc);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// On a display of another scale Windows lays out the template's controls
// anew; the preview, the dialog's own window, follows its placeholder there
// and keeps the bars' values (a move reads the saved Resolution).
LRESULT CSettingsDlg::OnDpiChanged(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    if (m_wndPreview.GetSafeHwnd() != nullptr) {
        m_wndPreview.MoveView(GetPreviewRect());
        ApplyBarsToPreview();
    }
    return result;
}

void CSettingsDlg::OnKillFocusFolder() { m_strFolder = GetDlgItemText(IDC_FOLDER); }

void CSettingsDlg::OnVersion()
{
    CAboutDlg dlg;
    dlg.DoModal();
}

void CSettingsDlg::OnKillFocusMidi() { m_strMidi = GetDlgItemText(IDC_MIDI); }

void CSettingsDlg::OnBrowseFolder()
{
    std::string folder;
    if (BrowseFolder(folder, GetDlgItemText(IDC_FOLDER))) {
        m_strFolder = folder;
        SetDlgItemText(IDC_FOLDER, m_strFolder);
    }
}

BOOL CSettingsDlg::BrowseFolder(std::string& strFolder, std::string strInitial)
{
    BROWSEINFOA bi{};
    bi.hwndOwner = m_hWnd;
    bi.lpszTitle = "Select folder";
    bi.lpfn = BrowseCallbackProc;
    bi.lParam = reinterpret_cast<LPARAM>(strInitial.c_str());
    const CItemIdList pidl(::SHBrowseForFolderA(&bi));
    if (!pidl)
        return FALSE;
    // A virtual folder of the shell has no path: the box keeps its text.
    return GetPathFromIDList(pidl.get(), strFolder);
}

void CSettingsDlg::OnBrowseMidi()
{
    CFileDialog dlg(TRUE, "mid", nullptr, OFN_HIDEREADONLY, "midi file (*.mid)|*.mid", m_hWnd);
    const std::string initialDir = settings::MidiInitialDirectory(
        GetDlgItemText(IDC_MIDI), [](unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; });
    dlg.m_ofn.lpstrInitialDir = initialDir.c_str();
    if (dlg.DoModal() == IDOK) {
        m_strMidi = dlg.GetPathName();
        SetDlgItemText(IDC_MIDI, m_strMidi);
    }
}

// In Velmora mode the folder and the MIDI file come from the browser's cache:
// their boxes and buttons are disabled. The preview keeps its pictures.
void CSettingsDlg::OnVelmoraMode()
{
    const bool on = m_chkVelmoraMode.GetCheck() == BST_CHECKED;
    for (const int id : {IDC_FOLDER, IDC_BROWSE_FOLDER, IDC_MIDI, IDC_BROWSE_MIDI})
        ::EnableWindow(GetDlgItem(id), on ? FALSE : TRUE);
    m_nVelmoraMode = on ? 1 : 0;
}

void CSettingsDlg::OnAdjustPictureSize()
{
    m_nAdjustPictureSize = m_chkAdjustPictureSize.GetCheck() == BST_CHECKED ? 1 : 0;
    m_wndPreview.SetAdjustPictureSize(m_nAdjustPictureSize);
}
