// The settings dialog as the settings role runs it, RunSettings over a real
// vlm.ini, looked into from a thread timer inside its modal loop. (Keys,
// Enter, Escape and what they write: tests/e2e.)
#include "fw/Gdi.h"
#include "res/resource.h"
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

namespace {

// The preview, the dialog's one child without an id, and its state through
// its class's protected members.
struct Preview : CSlideView {
    static CSlideView& Of(HWND hDlg)
    {
        HWND child = ::GetWindow(hDlg, GW_CHILD);
        while (::GetDlgCtrlID(child) != 0)
            child = ::GetWindow(child, GW_HWNDNEXT);
        return *static_cast<CSlideView*>(CWnd::FromHandlePermanent(child));
    }
    static int Resolution(CSlideView& view) { return view.*(&Preview::m_nResolution); }
    static BOOL Adjust(CSlideView& view) { return view.*(&Preview::m_bAdjustPictureSize); }
    static LONG FrameWidth(CSlideView& view) { return (view.*(&Preview::m_rcClient)).right; }
};

HWND Item(int id) { return ::GetDlgItem(TestApp().m_pMainWnd->m_hWnd, id); }

// Every label is whole at the dialog's scale: its text in its font fits
// inside its control, beside a check box's box, inside a button's edges (a
// static text gets the same room).
BOOL CALLBACK ExpectWhole(HWND control, LPARAM)
{
    char text[64];
    const int length = ::GetWindowTextA(control, text, sizeof text);
    CClientDC dc(control);
    CSelectObject font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32A(dc.GetSafeHdc(), text, length, &size);
    RECT rc;
    ::GetClientRect(control, &rc);
    const bool box = (::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    EXPECT_LE(size.cx + (box ? size.cy * 5 / 4 : size.cy / 4), rc.right) << text;
    return TRUE;
}

// A visible dialog of the thread other than the settings: the file chooser,
// cancelled; the search ends there.
BOOL CALLBACK CancelChooser(HWND hWnd, LPARAM settings)
{
    char name[16] = "";
    if (hWnd == reinterpret_cast<HWND>(settings) || !::IsWindowVisible(hWnd) ||
        ::GetClassNameA(hWnd, name, sizeof name) == 0 || std::string(name) != "#32770")
        return TRUE;
    ::PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
}
void CALLBACK CancelChooserOnceShown(HWND, UINT, UINT_PTR, DWORD)
{
    const HWND hDlg = TestApp().m_pMainWnd->m_hWnd;
    ::EnumThreadWindows(::GetCurrentThreadId(), CancelChooser, reinterpret_cast<LPARAM>(hDlg));
}

// Without a file (the defaults as Enter writes them: tests/e2e): the scroll
// bars at the defaults, the typing limit, Velmora Mode disabling the folder
// and MIDI controls, the preview in the placeholder's place following the Step
// bar and the picture-size box at once, the About entry in the system menu; a
// MIDI chooser cancelled leaves the box's text; Cancel writes nothing.
void CALLBACK LookInto(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    const HWND hDlg = TestApp().m_pMainWnd->m_hWnd;
    CSlideView& view = Preview::Of(hDlg);
    const auto inPlace = [&] {  // the preview just where the placeholder is
        RECT placeholder, preview;
        ::GetWindowRect(Item(IDC_PREVIEW), &placeholder);
        ::GetWindowRect(view.m_hWnd, &preview);
        return ::EqualRect(&placeholder, &preview) && ::IsWindowVisible(view.m_hWnd);
    };
    const int paths[] = {IDC_FOLDER, IDC_BROWSE_FOLDER, IDC_MIDI, IDC_BROWSE_MIDI};
    EXPECT_EQ(::SendMessageA(Item(IDC_MIDI), EM_GETLIMITTEXT, 0, 0), 256);
    for (const auto& [id, position] : {std::pair{IDC_RESOLUTION, 10}, {IDC_SPEED, 50}, {IDC_CHANGETIMES, 50}})
        EXPECT_EQ(::SendMessageA(Item(id), SBM_GETPOS, 0, 0), position) << id;
    for (const int id : paths)
        EXPECT_FALSE(::IsWindowEnabled(Item(id))) << id;
    EXPECT_EQ(::GetFocus(), Item(IDC_RESOLUTION));
    EXPECT_TRUE(inPlace());
    EXPECT_EQ(Preview::Resolution(view), 10);
    ::SendMessageA(hDlg, WM_HSCROLL, SB_LINERIGHT, reinterpret_cast<LPARAM>(Item(IDC_RESOLUTION)));
    EXPECT_EQ(Preview::Resolution(view), 11);
    ::EnumChildWindows(hDlg, ExpectWhole, 0);

    // On a display of another scale Windows lays out the template anew (the
    // test moves the placeholder itself): the preview follows, frames and
    // all, and keeps the bars' values.
    ::SetWindowPos(Item(IDC_PREVIEW), nullptr, 20, 30, 200, 150, SWP_NOZORDER);
    RECT dialog;
    ::GetWindowRect(hDlg, &dialog);
    ::SendMessageA(hDlg, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&dialog));
    EXPECT_TRUE(inPlace() && Preview::FrameWidth(view) == 200 && Preview::Resolution(view) == 11);
    ::SendMessageA(Item(IDC_VELMORA_MODE), BM_CLICK, 0, 0);
    ::SendMessageA(Item(IDC_ADJUST_PICTURE_SIZE), BM_CLICK, 0, 0);
    for (const int id : paths)
        EXPECT_TRUE(::IsWindowEnabled(Item(id))) << id;
    EXPECT_FALSE(Preview::Adjust(view));
    EXPECT_NE(::GetMenuState(::GetSystemMenu(hDlg, FALSE), IDM_ABOUTBOX, MF_BYCOMMAND), ~0u);

    ::SetDlgItemTextA(hDlg, IDC_MIDI, "C:\\song.mid");
    const UINT_PTR cancel = ::SetTimer(nullptr, 0, 100, CancelChooserOnceShown);
    ::SendMessageA(Item(IDC_BROWSE_MIDI), BM_CLICK, 0, 0);  // returns when the chooser is gone
    ::KillTimer(nullptr, cancel);
    char midi[64] = "";
    ::GetDlgItemTextA(hDlg, IDC_MIDI, midi, sizeof midi);
    EXPECT_STREQ(midi, "C:\\song.mid");
    ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
}

TEST(SettingsDlgTest, DefaultsAndAPreviewThatFollows)
{
    ScratchFolder folder;
    UseProfile(folder.File("vlm.ini"));
    ::SetTimer(nullptr, 0, 100, LookInto);
    TestApp().RunSettings();
    EXPECT_EQ(::GetFileAttributesA(folder.File("vlm.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
