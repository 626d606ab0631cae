// The settings dialog as the settings role runs it: RunSettings on a real
// vlm.ini, the dialog driven through its controls by a script whose steps a
// thread timer runs, one a tick, inside the dialog's modal loop and the loop
// of the box it opens. Steps post what would open a box; none runs a loop.
#include "res/resource.h"
#include "tests/win/WinTest.h"
#include "view/SlideView.h"

#include <chrono>
#include <climits>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// The preview's state, through its class's protected members.
struct Preview : CSlideView {
    static int& Resolution(CSlideView& view) { return view.*(&Preview::m_nResolution); }
};

BOOL CALLBACK FindOwned(HWND hWnd, LPARAM lParam)
{
    auto* found = reinterpret_cast<HWND*>(lParam);  // in: the owner; out: the box
    if (::GetWindow(hWnd, GW_OWNER) != *found || !::IsWindowVisible(hWnd))
        return TRUE;
    *found = hWnd;
    return FALSE;
}

// A visible window of this thread that `owner` opened, or null.
HWND BoxOf(HWND owner)
{
    HWND found = owner;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&found));
    return found != owner ? found : nullptr;
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
    void SetUp() override { UseProfile(m_ini); }

    void Then(std::function<void()> step)
    {
        m_steps.push_back([step] {
            step();
            return true;
        });
    }
    // After `open` has asked for a box: waits for it, runs `use` on it (which
    // must close it) and waits until it is gone.
    void InBox(std::function<void()> open, std::function<void(HWND)> use)
    {
        Then(std::move(open));
        m_steps.push_back([this] { return (m_box = BoxOf(m_dlg)) != nullptr; });
        Then([this, use] { use(m_box); });
        m_steps.push_back([this] { return !::IsWindow(m_box); });
    }

    // Runs the settings role with the script; the last step ends the dialog.
    void Run()
    {
        s_test = this;
        m_start = std::chrono::steady_clock::now();
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, Tick);
        TestApp().RunSettings();
        ::KillTimer(nullptr, timer);
        EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " steps left";
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dlg, id); }
    int Pos(int id) const { return ::GetScrollPos(Item(id), SB_CTL); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(Item(id), message, wParam, lParam);
    }
    // What a bar sends its dialog.
    void Scroll(int id, int code, int pos = 0) const
    {
        ::SendMessageA(m_dlg, WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(Item(id)));
    }
    // The dialog's one child without an id.
    CSlideView& PreviewView() const
    {
        HWND child = ::GetWindow(m_dlg, GW_CHILD);
        while (::GetDlgCtrlID(child) != 0)
            child = ::GetWindow(child, GW_HWNDNEXT);
        return *static_cast<CSlideView*>(CWnd::FromHandlePermanent(child));
    }
    bool FileHas(const std::string& lines) const { return ReadFileBytes(m_ini).find(lines) != std::string::npos; }

    ScratchFolder m_folder;
    std::string m_ini = m_folder.File("vlm.ini");
    HWND m_dlg = nullptr;
    HWND m_box = nullptr;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        SettingsDlgTest& test = *s_test;
        test.m_dlg = TestApp().m_pMainWnd != nullptr ? TestApp().m_pMainWnd->m_hWnd : nullptr;
        if (test.m_dlg == nullptr || test.m_steps.empty())
            return;
        if (std::chrono::steady_clock::now() - test.m_start > std::chrono::seconds(30)) {
            ADD_FAILURE() << "the script timed out";
            test.m_steps.clear();
            ::PostMessageA(BoxOf(test.m_dlg), WM_CLOSE, 0, 0);
            Command(test.m_dlg, IDCANCEL);
        } else if (test.m_steps.front()()) {
            test.m_steps.pop_front();
        }
    }

    static inline SettingsDlgTest* s_test = nullptr;
    std::deque<std::function<bool()>> m_steps;  // false: not yet, again next tick
    std::chrono::steady_clock::time_point m_start;
};

TEST_F(SettingsDlgTest, DefaultsWithoutFileAndOkWritesTheSample)
{
    Then([this] {
        EXPECT_EQ(Pos(IDC_RESOLUTION), 10);
        EXPECT_EQ(Pos(IDC_SPEED), 50);
        EXPECT_EQ(Pos(IDC_CHANGETIMES), 50);
        EXPECT_EQ(TextOf(Item(IDC_FOLDER)), "C:\\");
        EXPECT_EQ(TextOf(Item(IDC_MIDI)), "C:\\");
        EXPECT_EQ(Send(IDC_MIDI, EM_GETLIMITTEXT), 256);
        EXPECT_EQ(Send(IDC_VELMORA_MODE, BM_GETCHECK), BST_CHECKED);
        EXPECT_EQ(Send(IDC_ADJUST_PICTURE_SIZE, BM_GETCHECK), BST_CHECKED);
        for (int id : {IDC_FOLDER, IDC_BROWSE_FOLDER, IDC_MIDI, IDC_BROWSE_MIDI})
            EXPECT_FALSE(::IsWindowEnabled(Item(id))) << id;
        EXPECT_EQ(::GetFocus(), Item(IDC_RESOLUTION));

        RECT work, dlg;  // centred in the work area
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        ::GetWindowRect(m_dlg, &dlg);
        EXPECT_NEAR(dlg.left + dlg.right, work.left + work.right, 2);
        EXPECT_NEAR(dlg.top + dlg.bottom, work.top + work.bottom, 2);
        RECT placeholder, preview;
        ::GetWindowRect(Item(IDC_PREVIEW), &placeholder);
        ::GetWindowRect(PreviewView().m_hWnd, &preview);
        EXPECT_TRUE(::EqualRect(&placeholder, &preview));
        EXPECT_TRUE(::IsWindowVisible(PreviewView().m_hWnd));
        EXPECT_EQ(::SendMessageA(m_dlg, WM_QUERYDRAGICON, 0, 0),
                  reinterpret_cast<LRESULT>(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))));
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_EQ(ReadFileBytes(m_ini), "[Config]\r\nResolution=10\r\nSpeed=50\r\nChangeTimes=50\r\nFolder=C:\\\r\n"
                                    "Midi=C:\\\r\nVelmoraMode=1\r\nAdjustPictureSize=1\r\n");
}

// Hand-edited files: the bars show out-of-range numbers at their nearer end,
// text that is no number as 0, and OK writes what the dialog shows.
struct ShownCase {
    std::string file;      // after "[Config]"
    std::string written;   // lines that OK leaves in the file
};

class ShownValuesTest : public SettingsDlgTest, public testing::WithParamInterface<ShownCase> {};

TEST_P(ShownValuesTest, AreWrittenAtOk)
{
    WriteFileBytes(m_ini, "[Config]\r\n" + GetParam().file);
    Then([this] { Command(m_dlg, IDOK); });
    Run();
    EXPECT_TRUE(FileHas(GetParam().written)) << ReadFileBytes(m_ini).substr(0, 300);
}

// The seven keys, each with the same text.
std::string EveryKey(const std::string& value)
{
    std::string lines;
    for (const char* key : {"Resolution", "Speed", "ChangeTimes", "Folder", "Midi", "VelmoraMode", "AdjustPictureSize"})
        lines += std::string(key) + "=" + value + "\r\n";
    return lines;
}

std::string Written(int resolution, int speed, int changeTimes, const std::string& text, int velmora, int adjust)
{
    return "Resolution=" + std::to_string(resolution) + "\r\nSpeed=" + std::to_string(speed) +
           "\r\nChangeTimes=" + std::to_string(changeTimes) + "\r\nFolder=" + text + "\r\nMidi=" + text +
           "\r\nVelmoraMode=" + std::to_string(velmora) + "\r\nAdjustPictureSize=" + std::to_string(adjust) + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(Files, ShownValuesTest, testing::ValuesIn(std::vector<ShownCase>{
    {"Resolution=50\r\nSpeed=0\r\nVelmoraMode=7\r\nAdjustPictureSize=7\r\n",
     "Resolution=20\r\nSpeed=1\r\nVelmoraMode=1\r\nAdjustPictureSize=7\r\n"},  // each in its own place
    {EveryKey("2147483647"), Written(20, 100, 100, "2147483647", 1, 2147483647)},
    {EveryKey("-2147483648"), Written(1, 1, 1, "-2147483648", 1, INT_MIN)},
    {EveryKey("not a number"), Written(1, 1, 1, "not a number", 0, 0)},
}));

// A file that cannot be written (held open by another program that shares
// nothing, or a folder in its place): OK still closes the dialog, and nothing
// on disk changes.
TEST_F(SettingsDlgTest, UnwritableFileOkClosesAndChangesNothing)
{
    const std::string before = "[Config]\r\nResolution=7\r\n";
    WriteFileBytes(m_ini, before);
    const HANDLE holder = ::CreateFileA(m_ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Then([this] {
        EXPECT_EQ(Pos(IDC_RESOLUTION), 10);  // unreadable too: the defaults
        Scroll(IDC_RESOLUTION, SB_LINERIGHT);
        Command(m_dlg, IDOK);
    });
    Run();
    ::CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(m_ini), before);

    ASSERT_TRUE(::DeleteFileA(m_ini.c_str()));
    ASSERT_TRUE(::CreateDirectoryA(m_ini.c_str(), nullptr));
    Then([this] { Command(m_dlg, IDOK); });
    Run();
    EXPECT_EQ(::GetFileAttributesA(m_ini.c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});
    ::RemoveDirectoryA(m_ini.c_str());
}

// The file deleted while the dialog and its preview run: the preview goes on,
// and OK writes all seven keys anew.
TEST_F(SettingsDlgTest, FileDeletedWhileThePreviewRuns)
{
    WriteFileBytes(m_ini, "[Config]\r\nResolution=7\r\nSpeed=100\r\n");
    Then([this] { EXPECT_TRUE(::DeleteFileA(m_ini.c_str())); });
    Then([this] { ::SetWindowPos(PreviewView().m_hWnd, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER); });
    Then([this] {
        EXPECT_TRUE(::IsWindowVisible(PreviewView().m_hWnd));
        EXPECT_EQ(Preview::Resolution(PreviewView()), 10);  // the size change read the missing file's default
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_EQ(ReadFileBytes(m_ini), "[Config]\r\nResolution=7\r\nSpeed=100\r\nChangeTimes=50\r\nFolder=C:\\\r\n"
                                    "Midi=C:\\\r\nVelmoraMode=1\r\nAdjustPictureSize=1\r\n");
}

TEST_F(SettingsDlgTest, OverLongFolderIsRefusedAndEmptyOneWritten)
{
    const std::string before = "[Config]\r\nVelmoraMode=0\r\nFolder=C:\\" + std::string(254, 'f') + "\r\n";
    WriteFileBytes(m_ini, before);
    InBox([this] { Command(m_dlg, IDOK); },
          [](HWND box) {
              EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), "Please enter no more than 256 characters.");
              EXPECT_EQ(::SendMessageA(::GetDlgItem(box, 0x440), STM_GETICON, 0, 0),
                        reinterpret_cast<LRESULT>(::LoadIconA(nullptr, IDI_EXCLAMATION)));
              Command(box, IDOK);
          });
    Then([&] {
        EXPECT_EQ(::GetFocus(), Item(IDC_FOLDER));
        DWORD start = 1, end = 0;
        Send(IDC_FOLDER, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(end - start, 257u);
        EXPECT_EQ(ReadFileBytes(m_ini), before);
        ::SetWindowTextA(Item(IDC_FOLDER), "");
        Command(m_dlg, IDOK);
    });
    Run();
    EXPECT_TRUE(FileHas("Folder=\r\n"));
}

}  // namespace
