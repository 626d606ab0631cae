// The settings dialog as the settings role runs it: RunSettings on a real
// vlm.ini, the dialog driven through its controls by a script whose steps a
// thread timer runs, one a tick, inside the dialog's modal loop (and the
// loops of the boxes it opens).
#include "res/resource.h"
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <chrono>
#include <deque>
#include <functional>

namespace {

const char kSample[] = "[Config]\r\nResolution=10\r\nSpeed=50\r\nChangeTimes=50\r\nFolder=C:\\\r\nMidi=C:\\\r\n"
                       "VelmoraMode=1\r\nAdjustPictureSize=1\r\n";

// The preview's state, read through its class's protected members.
struct Preview : CSlideView {
    static int& Resolution(CSlideView& view) { return view.*(&Preview::m_nResolution); }
    static int ChangeTimes(CSlideView& view) { return view.*(&Preview::m_nChangeTimes); }
    static BOOL AdjustPictureSize(CSlideView& view) { return view.*(&Preview::m_bAdjustPictureSize); }
};

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    if (::GetWindow(hWnd, GW_OWNER) == search->owner && ::IsWindowVisible(hWnd))
        search->found = hWnd;
    return search->found == nullptr;
}

// A visible window of this thread owned by `owner` (a box the dialog opened).
HWND OwnedWindow(HWND owner)
{
    OwnedSearch search{owner, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND hWnd)
{
    char text[512] = "";
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

void Command(HWND hDlg, int id) { ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

class SettingsDlgTest : public testing::Test {
protected:
    using Step = std::function<bool()>;  // false: not yet, again next tick

    void SetUp() override { UseProfile(m_ini); }

    void Then(std::function<void()> step)
    {
        m_steps.push_back([step] {
            step();
            return true;
        });
    }
    void Wait(Step step) { m_steps.push_back(std::move(step)); }
    // Waits for the box that the dialog opens, which becomes m_box.
    void WaitForBox()
    {
        Wait([this] { return (m_box = OwnedWindow(m_dlg)) != nullptr; });
    }
    void WaitForBoxGone()
    {
        Wait([this] { return !::IsWindow(m_box); });
    }

    // Runs RunSettings with the script; the last step must end the dialog.
    void Run()
    {
        s_test = this;
        m_start = std::chrono::steady_clock::now();
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, Tick);
        TestApp().RunSettings();
        ::KillTimer(nullptr, timer);
        s_test = nullptr;
        EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " steps left";
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dlg, id); }
    int Pos(int id) const { return ::GetScrollPos(Item(id), SB_CTL); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(Item(id), message, wParam, lParam);
    }
    void Scroll(int id, int code, int pos = 0) const
    {
        ::SendMessageA(m_dlg, WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(Item(id)));
    }
    CSlideView& PreviewView() const
    {
        HWND child = ::FindWindowExA(m_dlg, nullptr, nullptr, nullptr);
        while (::GetDlgCtrlID(child) != 0)
            child = ::GetWindow(child, GW_HWNDNEXT);
        return *static_cast<CSlideView*>(CWnd::FromHandlePermanent(child));
    }

    ScratchFolder m_folder;
    std::string m_ini = m_folder.File("vlm.ini");
    HWND m_dlg = nullptr;
    HWND m_box = nullptr;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        SettingsDlgTest* test = s_test;
        if (test == nullptr || test->m_running)
            return;
        test->m_running = true;
        CWnd* main = TestApp().m_pMainWnd;
        test->m_dlg = main != nullptr ? main->m_hWnd : nullptr;
        if (std::chrono::steady_clock::now() - test->m_start > std::chrono::seconds(30)) {
            ADD_FAILURE() << "the script timed out";
            test->m_steps.clear();
            if (HWND box = OwnedWindow(test->m_dlg))
                ::PostMessageA(box, WM_CLOSE, 0, 0);
            ::PostMessageA(test->m_dlg, WM_COMMAND, IDCANCEL, 0);
        } else if (test->m_dlg != nullptr && !test->m_steps.empty() && test->m_steps.front()()) {
            test->m_steps.pop_front();
        }
        test->m_running = false;
    }

    static SettingsDlgTest* s_test;
    std::deque<Step> m_steps;
    std::chrono::steady_clock::time_point m_start;
    bool m_running = false;
};

SettingsDlgTest* SettingsDlgTest::s_test = nullptr;

// One control of a template: what the resource script must make.
struct ControlRow {
    int id;
    const char* className;
    DWORD kind;  // the style's type bits; for an edit box, ES_AUTOHSCROLL
    const char* caption;  // null: neither text nor size compared
    RECT units;  // x, y, width, height in dialog units
    DWORD flags; // of WS_VISIBLE, WS_GROUP, WS_TABSTOP
};

constexpr DWORD V = WS_VISIBLE, G = WS_GROUP, T = WS_TABSTOP;

const ControlRow kSettingsTemplate[] = {
    {-1, "Button", BS_GROUPBOX, "Step", {10, 116, 112, 41}, V},
    {-1, "Static", SS_LEFT, "Low", {18, 129, 30, 8}, V | G},
    {-1, "Static", SS_RIGHT, "High", {83, 129, 30, 8}, V | G},
    {IDC_RESOLUTION, "ScrollBar", SBS_HORZ, "", {18, 140, 94, 11}, V | G | T},
    {-1, "Button", BS_GROUPBOX, "Speed", {10, 158, 112, 41}, V},
    {-1, "Static", SS_LEFT, "Slow", {18, 172, 30, 8}, V | G},
    {-1, "Static", SS_RIGHT, "Fast", {83, 171, 30, 8}, V | G},
    {IDC_SPEED, "ScrollBar", SBS_HORZ, "", {18, 183, 94, 11}, V | G | T},
    {IDOK, "Button", BS_DEFPUSHBUTTON, "OK", {167, 204, 50, 14}, V | T},
    {IDCANCEL, "Button", BS_PUSHBUTTON, "Cancel", {167, 222, 50, 14}, V | T},
    {IDC_PREVIEW, "Static", SS_LEFT, "", {132, 120, 80, 60}, 0},
    {IDC_FOLDER, "Edit", ES_AUTOHSCROLL, "C:\\", {17, 45, 155, 14}, V | T},
    {-1, "Button", BS_GROUPBOX, "Folder", {10, 30, 208, 39}, V},
    {IDC_VERSION, "Button", BS_PUSHBUTTON, "version...", {127, 222, 34, 14}, V | T},
    {IDC_CHANGETIMES, "ScrollBar", SBS_HORZ, "", {18, 226, 94, 11}, V | G | T},
    {-1, "Button", BS_GROUPBOX, "Change Times", {10, 201, 112, 41}, V},
    {-1, "Static", SS_LEFT, "Low", {18, 215, 30, 8}, V | G},
    {-1, "Static", SS_RIGHT, "High", {83, 213, 30, 8}, V | G},
    {IDC_MIDI, "Edit", ES_AUTOHSCROLL, "C:\\", {17, 88, 155, 14}, V | T},
    {-1, "Button", BS_GROUPBOX, "MIDI file", {10, 73, 208, 39}, V},
    {IDC_BROWSE_FOLDER, "Button", BS_PUSHBUTTON, "Browse..", {178, 44, 32, 14}, V | T},
    {IDC_BROWSE_MIDI, "Button", BS_PUSHBUTTON, "Browse..", {178, 88, 32, 14}, V | T},
    {IDC_VELMORA_MODE, "Button", BS_AUTOCHECKBOX, "Velmora Mode", {11, 13, 69, 10}, V | T},
    {IDC_ADJUST_PICTURE_SIZE, "Button", BS_AUTOCHECKBOX, "Adjust picture size", {132, 185, 69, 10}, V | T},
};

const ControlRow kAboutTemplate[] = {
    {-1, "Static", SS_ICON, nullptr, {11, 17, 20, 20}, V},  // sized by its icon
    {-1, "Static", SS_LEFT, "Velmora Screen Saver version 1.1.4a", {40, 10, 119, 8}, V | G},
    {-1, "Static", SS_LEFT, "Copyright (C) Velmora", {40, 25, 100, 8}, V | G},
    {IDOK, "Button", BS_DEFPUSHBUTTON, "OK", {142, 31, 44, 14}, V | G | T},
};

// Compares a dialog's controls, in their order, with a template's rows; the
// preview, which has no id, is not the template's.
template <std::size_t N>
void ExpectControls(HWND hDlg, const ControlRow (&rows)[N])
{
    HWND child = ::GetWindow(hDlg, GW_CHILD);
    for (const ControlRow& row : rows) {
        while (child != nullptr && ::GetDlgCtrlID(child) == 0)
            child = ::GetWindow(child, GW_HWNDNEXT);
        ASSERT_NE(child, nullptr) << row.caption;
        char className[32] = "";
        ::GetClassNameA(child, className, sizeof className);
        const DWORD style = static_cast<DWORD>(::GetWindowLongA(child, GWL_STYLE));
        const DWORD kindMask = std::string(className) == "Button"    ? BS_TYPEMASK
                               : std::string(className) == "Static"  ? SS_TYPEMASK
                               : std::string(className) == "Edit"    ? ES_AUTOHSCROLL
                                                                     : SBS_VERT;
        // The dialog manager converts position and size apart.
        RECT origin{row.units.left, row.units.top, 0, 0}, size{0, 0, row.units.right, row.units.bottom};
        ::MapDialogRect(hDlg, &origin);
        ::MapDialogRect(hDlg, &size);
        RECT actual;
        ::GetWindowRect(child, &actual);
        ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&actual), 2);

        const std::string caption = row.caption != nullptr ? row.caption : "";
        SCOPED_TRACE(std::string(className) + " \"" + caption + "\" " + std::to_string(row.id));
        EXPECT_EQ(static_cast<short>(::GetDlgCtrlID(child)), row.id);
        EXPECT_STRCASEEQ(className, row.className);
        EXPECT_EQ(style & kindMask, row.kind);
        EXPECT_EQ(style & (V | G | T), row.flags);
        if (row.kind == ES_AUTOHSCROLL) {  // the dialog manager draws WS_BORDER as a client edge
            EXPECT_TRUE(::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        }
        EXPECT_EQ(actual.left, origin.left);
        EXPECT_EQ(actual.top, origin.top);
        if (row.caption != nullptr) {
            EXPECT_EQ(TextOf(child), row.caption);
            EXPECT_EQ(actual.right - actual.left, size.right);
            EXPECT_EQ(actual.bottom - actual.top, size.bottom);
        }
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
}

TEST_F(SettingsDlgTest, TemplateIsAsTabled)
{
    Then([this] {
        const DWORD style = static_cast<DWORD>(::GetWindowLongA(m_dlg, GWL_STYLE));
        const DWORD frame = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        EXPECT_EQ(style & (frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), frame);
        EXPECT_EQ(TextOf(m_dlg), "Velmora screen Saver");
        RECT client, units{0, 0, 227, 255};
        ::GetClientRect(m_dlg, &client);
        ::MapDialogRect(m_dlg, &units);
        EXPECT_TRUE(::EqualRect(&client, &units));
        LOGFONTA font{};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(m_dlg, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
        ExpectControls(m_dlg, kSettingsTemplate);
        EXPECT_TRUE(::GetWindowLongA(Item(IDC_PREVIEW), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        Command(m_dlg, IDCANCEL);
    });
    Run();
}

TEST_F(SettingsDlgTest, DefaultsWithoutFileAndOkWritesTheSample)
{
    Then([this] {
        int low = 0, high = 0;
        ::GetScrollRange(Item(IDC_RESOLUTION), SB_CTL, &low, &high);
        EXPECT_EQ(low * 1000 + high, 1020);
        EXPECT_EQ(Pos(IDC_RESOLUTION), 10);
        EXPECT_EQ(Pos(IDC_SPEED), 50);
        EXPECT_EQ(Pos(IDC_CHANGETIMES), 50);
        EXPECT_EQ(TextOf(Item(IDC_FOLDER)), "C:\\");
        EXPECT_EQ(TextOf(Item(IDC_MIDI)), "C:\\");
        EXPECT_EQ(Send(IDC_FOLDER, EM_GETLIMITTEXT), 256);
        EXPECT_EQ(Send(IDC_VELMORA_MODE, BM_GETCHECK), BST_CHECKED);
        EXPECT_EQ(Send(IDC_ADJUST_PICTURE_SIZE, BM_GETCHECK), BST_CHECKED);
        for (int id : {IDC_FOLDER, IDC_BROWSE_FOLDER, IDC_MIDI, IDC_BROWSE_MIDI})
            EXPECT_FALSE(::IsWindowEnabled(Item(id))) << id;
        EXPECT_EQ(::GetFocus(), Item(IDC_RESOLUTION));

        // The preview lies where the hidden placeholder does.
        RECT placeholder, preview;
        ::GetWindowRect(Item(IDC_PREVIEW), &placeholder);
        ::GetWindowRect(PreviewView().m_hWnd, &preview);
        EXPECT_TRUE(::EqualRect(&placeholder, &preview));
        EXPECT_FALSE(::IsWindowVisible(Item(IDC_PREVIEW)));
        EXPECT_TRUE(::IsWindowVisible(PreviewView().m_hWnd));
        EXPECT_EQ(::SendMessageA(m_dlg, WM_QUERYDRAGICON, 0, 0),
                  reinterpret_cast<LRESULT>(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))));
    });
    Then([this] { Command(m_dlg, IDOK); });
    Run();
    EXPECT_EQ(ReadFileBytes(m_ini), kSample);
}

TEST_F(SettingsDlgTest, VelmoraModeDisablesFolderAndMidiControls)
{
    const int ids[] = {IDC_FOLDER, IDC_BROWSE_FOLDER, IDC_MIDI, IDC_BROWSE_MIDI};
    Then([&] {
        Send(IDC_VELMORA_MODE, BM_CLICK);
        for (int id : ids)
            EXPECT_TRUE(::IsWindowEnabled(Item(id))) << id;
        Send(IDC_VELMORA_MODE, BM_CLICK);
        for (int id : ids)
            EXPECT_FALSE(::IsWindowEnabled(Item(id))) << id;
        Send(IDC_VELMORA_MODE, BM_CLICK);
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_NE(ReadFileBytes(m_ini).find("VelmoraMode=0\r\n"), std::string::npos);
}

TEST_F(SettingsDlgTest, OutOfRangeValuesAreWrittenAsTheDialogShowsThem)
{
    WriteFileBytes(m_ini, "[Config]\r\nResolution=50\r\nSpeed=0\r\nChangeTimes=100\r\nVelmoraMode=7\r\n"
                          "AdjustPictureSize=7\r\n");
    Then([this] {
        EXPECT_EQ(Pos(IDC_RESOLUTION), 20);
        EXPECT_EQ(Pos(IDC_SPEED), 1);
        EXPECT_EQ(Send(IDC_ADJUST_PICTURE_SIZE, BM_GETCHECK), BST_CHECKED);
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_EQ(ReadFileBytes(m_ini), "[Config]\r\nResolution=20\r\nSpeed=1\r\nChangeTimes=100\r\nVelmoraMode=1\r\n"
                                    "AdjustPictureSize=7\r\nFolder=C:\\\r\nMidi=C:\\\r\n");
}

TEST_F(SettingsDlgTest, ClickedPictureSizeBoxWritesZeroOrOne)
{
    WriteFileBytes(m_ini, "[Config]\r\nAdjustPictureSize=7\r\n");
    Then([this] {
        Send(IDC_ADJUST_PICTURE_SIZE, BM_CLICK);
        Send(IDC_ADJUST_PICTURE_SIZE, BM_CLICK);
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_NE(ReadFileBytes(m_ini).find("AdjustPictureSize=1\r\n"), std::string::npos);
}

TEST_F(SettingsDlgTest, BarsFollowTheScrollTable)
{
    Then([this] {
        ::SetFocus(Item(IDC_RESOLUTION));
        Send(IDC_RESOLUTION, WM_KEYDOWN, VK_END);
        EXPECT_EQ(Pos(IDC_RESOLUTION), 20);
        Send(IDC_RESOLUTION, WM_KEYDOWN, VK_HOME);
        EXPECT_EQ(Pos(IDC_RESOLUTION), 1);
        Scroll(IDC_RESOLUTION, SB_LINELEFT);
        EXPECT_EQ(Pos(IDC_RESOLUTION), 1);
        Scroll(IDC_RESOLUTION, SB_THUMBTRACK, 15);
        Scroll(IDC_RESOLUTION, SB_PAGERIGHT);
        EXPECT_EQ(Pos(IDC_RESOLUTION), 20);
        Scroll(IDC_SPEED, SB_RIGHT);
        EXPECT_EQ(Pos(IDC_SPEED), 100);
        Scroll(IDC_CHANGETIMES, SB_PAGELEFT);
        Scroll(IDC_CHANGETIMES, SB_LINERIGHT);
        EXPECT_EQ(Pos(IDC_CHANGETIMES), 41);
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_NE(ReadFileBytes(m_ini).find("Resolution=20\r\nSpeed=100\r\nChangeTimes=41\r\n"), std::string::npos);
}

TEST_F(SettingsDlgTest, PreviewFollowsAtOnceAndCancelLeavesTheFile)
{
    const std::string before = "; by hand\r\n[Config]\r\nResolution=4\r\nChangeTimes=9\r\n";
    WriteFileBytes(m_ini, before);
    Then([&] {
        CSlideView& view = PreviewView();
        EXPECT_EQ(Preview::Resolution(view), 4);
        Scroll(IDC_RESOLUTION, SB_THUMBPOSITION, 12);
        EXPECT_EQ(Preview::Resolution(view), 12);
        Scroll(IDC_CHANGETIMES, SB_LINELEFT);
        EXPECT_EQ(Preview::ChangeTimes(view), 8);
        // Whichever bar sends, even the end of a drag, all three reach the view.
        Preview::Resolution(view) = 3;
        Scroll(IDC_SPEED, SB_ENDSCROLL);
        EXPECT_EQ(Preview::Resolution(view), 12);
        Send(IDC_ADJUST_PICTURE_SIZE, BM_CLICK);
        EXPECT_FALSE(Preview::AdjustPictureSize(view));
        EXPECT_EQ(ReadFileBytes(m_ini), before);
        Command(m_dlg, IDCANCEL);
    });
    Run();
    EXPECT_EQ(ReadFileBytes(m_ini), before);
}

TEST_F(SettingsDlgTest, OverLongFolderIsRefusedAndEmptyOneWritten)
{
    const std::string before = "[Config]\r\nVelmoraMode=0\r\nFolder=C:\\" + std::string(254, 'f') + "\r\n";
    WriteFileBytes(m_ini, before);
    Then([this] { Command(m_dlg, IDOK); });
    WaitForBox();
    Then([this] {
        EXPECT_EQ(TextOf(::GetDlgItem(m_box, 0xFFFF)), "Please enter no more than 256 characters.");
        EXPECT_EQ(::SendMessageA(::GetDlgItem(m_box, 0x440), STM_GETICON, 0, 0),
                  reinterpret_cast<LRESULT>(::LoadIconA(nullptr, IDI_EXCLAMATION)));
        Command(m_box, IDOK);
    });
    WaitForBoxGone();
    Then([&] {
        EXPECT_EQ(::GetFocus(), Item(IDC_FOLDER));
        DWORD start = 1, end = 0;
        Send(IDC_FOLDER, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 257u);
        EXPECT_EQ(ReadFileBytes(m_ini), before);
        ::SetWindowTextA(Item(IDC_FOLDER), "");
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_NE(ReadFileBytes(m_ini).find("Folder=\r\n"), std::string::npos);
}

TEST_F(SettingsDlgTest, TypingStopsAtTheLimitAndEnterSavesTheTypedFolder)
{
    WriteFileBytes(m_ini, "[Config]\r\nVelmoraMode=0\r\n");
    auto type = [this](const std::string& text) {
        for (char c : text)
            ::PostMessageA(Item(IDC_FOLDER), WM_CHAR, static_cast<unsigned char>(c), 1);
    };
    Then([=] {
        ::SendMessageA(m_dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_FOLDER)), TRUE);
        type(std::string(300, 'x'));
    });
    Then([=] {
        EXPECT_EQ(TextOf(Item(IDC_FOLDER)), std::string(256, 'x'));
        Send(IDC_FOLDER, EM_SETSEL, 0, -1);
        type("D:\\pics");
        ::PostMessageA(Item(IDC_FOLDER), WM_KEYDOWN, VK_RETURN, 1);
    });
    Run();
    EXPECT_NE(ReadFileBytes(m_ini).find("Folder=D:\\pics\r\n"), std::string::npos);
}

TEST_F(SettingsDlgTest, AboutBoxFromSystemMenuAndButton)
{
    Then([this] {
        const HMENU menu = ::GetSystemMenu(m_dlg, FALSE);
        const int count = ::GetMenuItemCount(menu);
        EXPECT_EQ(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), UINT{IDM_ABOUTBOX});
        char text[64] = "";
        ::GetMenuStringA(menu, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "&About Velmora Screen Saver...");
        ::PostMessageA(m_dlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    });
    WaitForBox();
    Then([this] {
        EXPECT_EQ(TextOf(m_box), "About Velmora Screen Saver");
        ExpectControls(m_box, kAboutTemplate);
        EXPECT_FALSE(::IsWindowEnabled(m_dlg));
        RECT about, dlg;
        ::GetWindowRect(m_box, &about);
        ::GetWindowRect(m_dlg, &dlg);
        EXPECT_NEAR(about.left + about.right, dlg.left + dlg.right, 2);
        EXPECT_NEAR(about.top + about.bottom, dlg.top + dlg.bottom, 2);
        Command(m_box, IDOK);
    });
    WaitForBoxGone();
    Then([this] { ::PostMessageA(Item(IDC_VERSION), BM_CLICK, 0, 0); });
    WaitForBox();
    Then([this] {
        EXPECT_EQ(TextOf(m_box), "About Velmora Screen Saver");
        Command(m_box, IDCANCEL);
    });
    WaitForBoxGone();
    Then([this] { Command(m_dlg, IDCANCEL); });
    Run();
    EXPECT_EQ(ReadFileBytes(m_ini), "");
}

TEST_F(SettingsDlgTest, FolderBrowserOpensOnTheBoxFolderAndKeepsItForVirtualOnes)
{
    const std::string folder = m_folder.Path();
    WriteFileBytes(m_ini, "[Config]\r\nVelmoraMode=0\r\nFolder=C:\\\r\n");
    Then([=] {
        ::SetWindowTextA(Item(IDC_FOLDER), folder.c_str());
        ::PostMessageA(Item(IDC_BROWSE_FOLDER), BM_CLICK, 0, 0);
    });
    WaitForBox();
    Then([this] { Command(m_box, IDOK); });
    WaitForBoxGone();
    Then([=] {
        EXPECT_EQ(TextOf(Item(IDC_FOLDER)), folder);
        ::PostMessageA(Item(IDC_BROWSE_FOLDER), BM_CLICK, 0, 0);
    });
    WaitForBox();
    Then([this] {
        // "My Computer" has no file-system path.
        ITEMIDLIST* drives = nullptr;
        ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives), S_OK);
        ::SendMessageA(m_box, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(drives));
        ::CoTaskMemFree(drives);
        Command(m_box, IDOK);
    });
    WaitForBoxGone();
    Then([=] {
        EXPECT_EQ(TextOf(Item(IDC_FOLDER)), folder);
        Command(m_dlg, IDCANCEL);
    });
    Run();
    EXPECT_EQ(ReadFileBytes(m_ini), "[Config]\r\nVelmoraMode=0\r\nFolder=C:\\\r\n");
}

TEST_F(SettingsDlgTest, MidiChooserOpensInTheTextsFolderAndAddsTheExtension)
{
    const std::string sub = m_folder.File("music");
    ::CreateDirectoryA(sub.c_str(), nullptr);
    // Wine's open dialog adds the default extension only when that names a
    // file that exists.
    WriteFileBytes(sub + "\\tune.mid", "");
    WriteFileBytes(m_ini, "[Config]\r\nVelmoraMode=0\r\nMidi=" + sub + "\\song.mid\r\n");
    auto choose = [this](const char* name) {
        Then([this] { ::PostMessageA(Item(IDC_BROWSE_MIDI), BM_CLICK, 0, 0); });
        WaitForBox();
        Then([this, name] {
            ::SendMessageA(m_box, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(name));
            ::SendMessageA(m_box, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name));
            Command(m_box, IDOK);
        });
        WaitForBoxGone();
    };
    Then([this] { ::PostMessageA(Item(IDC_BROWSE_MIDI), BM_CLICK, 0, 0); });
    WaitForBox();
    Then([=] {
        char path[MAX_PATH] = "";
        ::SendMessageA(m_box, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
        EXPECT_STREQ(path, sub.c_str());
        EXPECT_EQ(TextOf(::GetDlgItem(m_box, cmb1)), "midi file (*.mid)");
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(m_box, chx1)));  // no read-only box
        Command(m_box, IDCANCEL);
    });
    WaitForBoxGone();
    Then([=] { EXPECT_EQ(TextOf(Item(IDC_MIDI)), sub + "\\song.mid"); });
    choose("tune");
    Then([=] { EXPECT_EQ(TextOf(Item(IDC_MIDI)), sub + "\\tune.mid"); });
    choose("absent.mid");  // need not exist
    Then([=] {
        EXPECT_EQ(TextOf(Item(IDC_MIDI)), sub + "\\absent.mid");
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_NE(ReadFileBytes(m_ini).find("Midi=" + sub + "\\absent.mid\r\n"), std::string::npos);
}

}  // namespace
