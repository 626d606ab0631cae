#include "saver/SaverWnd.h"

#include "app/Settings.h"
#include "fw/Shell.h"
#include "fw/WinApp.h"
#include "pictures/WinFiles.h"
#include "saver/MidiChoice.h"

#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// The console display's state (GUID_CONSOLE_DISPLAY_STATE), here so that no
// library has to define it.
constexpr GUID kConsoleDisplayState{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

displays::Rect ToRect(const RECT& rc) { return {rc.left, rc.top, rc.right, rc.bottom}; }
RECT ToRECT(const displays::Rect& rc) { return {rc.left, rc.top, rc.right, rc.bottom}; }

// Lists the displays, the primary first.
BOOL CALLBACK AddDisplay(HMONITOR hMonitor, HDC, LPRECT, LPARAM lParam)
{
    auto& list = *reinterpret_cast<std::vector<displays::Rect>*>(lParam);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(hMonitor, &info))
        list.insert((info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? list.begin() : list.end(), ToRect(info.rcMonitor));
    return TRUE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSaverWnd, CSlideView)
    ON_WM_CREATE()
    ON_MESSAGE(WM_MUSIC_FOUND, OnMusicFound)
    ON_MESSAGE(MM_MCINOTIFY, OnMciNotify)
    ON_MESSAGE(WM_POWERBROADCAST, OnPowerBroadcast)
    ON_WM_SYSCOMMAND()
    ON_WM_DESTROY()
    ON_WM_SETCURSOR()
    ON_WM_NCACTIVATE()
    ON_WM_ACTIVATE()
    ON_WM_ACTIVATEAPP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_SYSKEYDOWN()
END_MESSAGE_MAP()

CSaverWnd::CSaverWnd(CSequencer::SendCommand send) : CSlideView(TRUE), m_sequencer(send) {}

CSaverWnd::~CSaverWnd() = default;

BOOL CSaverWnd::CreateFullScreen()
{
    std::vector<displays::Rect> list;
    ::EnumDisplayMonitors(nullptr, nullptr, AddDisplay, reinterpret_cast<LPARAM>(&list));
    if (list.empty())
        list.push_back(ToRect(RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}));
    m_cover = displays::CoverDisplays(list);
    m_group = pictures::Group(static_cast<int>(m_cover.views.size()));
    m_showing = std::make_shared<pictures::Showing>(m_group.Size());
    JoinGroup(m_group, m_showing, MakePictureLoader(), 0);
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, ToRECT(m_cover.window), nullptr);
}

RECT CSaverWnd::GetViewRect() const
{
    return m_cover.views.empty() ? CSlideView::GetViewRect() : ToRECT(m_cover.views.front());
}

int CSaverWnd::OnCreate(LPCREATESTRUCTA lpCreateStruct)
{
    // The music first, so that its choice does not wait on the decoding
    // thread behind the views' first pictures. The sequence starts over (the
    // first view seeds it again), so the music's draw is the first after
    // seeding.
    m_sequencer.SetCallbackWindow(m_hWnd);
    if (!m_pLoader)
        m_pLoader = MakePictureLoader();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    ChooseMidi(AfxGetApp()->GetProfileInt(settings::kSection, settings::kVelmoraMode.key,
                                          settings::kVelmoraMode.fallback) != 0);
    if (CSlideView::OnCreate(lpCreateStruct) == -1)
        return -1;
    // The further displays' views are disabled, so that the mouse over them
    // reaches this window.
    for (size_t i = 1; i < m_cover.views.size(); ++i) {
        auto* view = new CSlideView(TRUE);
        view->JoinGroup(m_group, m_showing, m_pLoader, static_cast<int>(i));
        if (view->Create(0, WS_CHILD | WS_VISIBLE | WS_DISABLED, ToRECT(m_cover.views[i]), m_hWnd))
            m_displays.push_back(view);
    }
    m_powerNotify.Register(m_hWnd, kConsoleDisplayState);
    return 0;
}

void CSaverWnd::ChooseMidi(BOOL bVelmoraMode)
{
    const std::string setting =
        AfxGetApp()->GetProfileString(settings::kSection, settings::kMidi.key, settings::kMidi.fallback);
    if (!bVelmoraMode) {
        StartMusic(setting);
        return;
    }
    std::string cache, windows;
    GetSpecialFolderPath(m_hWnd, CSIDL_INTERNET_CACHE, cache);
    GetSpecialFolderPath(m_hWnd, CSIDL_WINDOWS, windows);
    const int draw = std::rand();
    m_nMusicClient = m_pLoader->Join([hWnd = m_hWnd] { ::PostMessageA(hWnd, WM_MUSIC_FOUND, 0, 0); });
    m_pLoader->Ask(m_nMusicClient, [cache, windows, draw, setting] {
        CWinFiles files;
        const std::string chosen = ChooseVelmoraMidi(cache, windows, files, [draw] { return draw; });
        return Found{chosen.empty() ? setting : chosen, nullptr};
    });
}

LRESULT CSaverWnd::OnMusicFound(WPARAM, LPARAM)
{
    if (std::optional<Found> found = m_pLoader->Take(m_nMusicClient))
        StartMusic(found->key);
    return 0;
}

void CSaverWnd::StartMusic(const std::string& path)
{
    if (path.empty() || !m_music.OpenMusic(path.c_str()))
        return;
    if (m_bDisplayOff)
        m_music.Pause();
    else
        m_music.PlayMusic();
}

// The file has played to its end, or its play was cut short.
LRESULT CSaverWnd::OnMciNotify(WPARAM wParam, LPARAM)
{
    m_music.OnMciNotify(static_cast<unsigned long>(wParam));
    return 0;
}

LRESULT CSaverWnd::OnPowerBroadcast(WPARAM wParam, LPARAM lParam)
{
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (wParam == PBT_POWERSETTINGCHANGE && setting != nullptr && setting->PowerSetting == kConsoleDisplayState &&
        setting->DataLength >= sizeof(DWORD)) {
        DWORD dwState;
        std::memcpy(&dwState, setting->Data, sizeof dwState);
        SetDisplayState(dwState);
    }
    return TRUE;
}

// No request of its own keeps the display or the machine on: with the music's
// device given back, the system may sleep as its power plan says.
void CSaverWnd::SetDisplayState(DWORD dwState)
{
    const bool off = dwState == 0;
    if (dwState > 1 || off == m_bDisplayOff)  // dimmed, or as it was
        return;
    m_bDisplayOff = off;
    if (off) {
        Pause();
        for (CSlideView* view : m_displays)
            view->Pause();
        m_music.Pause();
    } else {
        m_music.Resume();
        Resume();
        for (CSlideView* view : m_displays)
            view->Resume();
    }
}

// The desktop must not start a second saver over this one, and Alt+F4 closes
// the window through its key press, not through SC_CLOSE.
void CSaverWnd::OnSysCommand(UINT nID, LPARAM)
{
    if (nID == SC_SCREENSAVE || nID == SC_CLOSE)
        return;
    Default();
}

// The end of the window is the end of the music and of the run.
void CSaverWnd::OnDestroy()
{
    m_pLoader->Leave(m_nMusicClient);
    m_powerNotify.Unregister();
    m_music.StopMusic();
    m_music.CloseMusic();
    ::PostQuitMessage(0);
    CSlideView::OnDestroy();
}

BOOL CSaverWnd::OnSetCursor(HWND, UINT, UINT)
{
    ::SetCursor(nullptr);
    return TRUE;
}

// Refuses to be drawn inactive.
BOOL CSaverWnd::OnNcActivate(BOOL bActive)
{
    if (!bActive)
        return FALSE;
    return static_cast<BOOL>(Default());
}

void CSaverWnd::OnActivate(UINT nState, HWND, BOOL)
{
    if (nState == WA_INACTIVE)
        Close();
    Default();
}

void CSaverWnd::OnActivateApp(BOOL bActive, DWORD)
{
    if (!bActive)
        Close();
    Default();
}

void CSaverWnd::OnMouseMove(UINT, POINT point)
{
    if (m_mouse.EndsRun(point.x, point.y))
        Close();
    Default();
}

void CSaverWnd::OnLButtonDown(UINT, POINT)
{
    Close();
    Default();
}

void CSaverWnd::OnMButtonDown(UINT, POINT)
{
    Close();
    Default();
}

void CSaverWnd::OnRButtonDown(UINT, POINT)
{
    Close();
    Default();
}

void CSaverWnd::OnKeyDown(UINT, UINT, UINT)
{
    Close();
    Default();
}

void CSaverWnd::OnSysKeyDown(UINT, UINT, UINT)
{
    Close();
    Default();
}
