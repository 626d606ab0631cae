#include "app/SaverApp.h"

#include "app/CommandLine.h"
#include "app/Settings.h"
#include "app/SettingsPath.h"
#include "saver/SaverWnd.h"
#include "settings/SettingsDlg.h"
#include "view/SlideView.h"

#include <mbctype.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

const char kMutexName[] = "VelmoraScreenSaver113a";

// Room for a path of MAX_PATH characters, which in UTF-8 take up to three
// bytes each.
constexpr int kPathBytes = 3 * MAX_PATH;

// "Out of memory" in the program's own Japanese; shown in UTF-16 so that it
// reads the same whatever the system's code page.
const wchar_t kOutOfMemory[] = L"\u30E1\u30E2\u30EA\u4E0D\u8DB3\u30A8\u30E9\u30FC\u3067\u3059\u3002";

}  // namespace

CSaverApp::~CSaverApp()
{
    if (m_hInstanceMutex != nullptr)
        ::CloseHandle(m_hInstanceMutex);
}

BOOL CSaverApp::InitInstance()
{
    _setmbcp(_MB_CP_ANSI);

    m_hInstanceMutex = ::CreateMutexA(nullptr, TRUE, kMutexName);
    if (m_hInstanceMutex == nullptr || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return FALSE;

    std::unique_ptr<char[]> path(new (std::nothrow) char[kPathBytes]);
    if (!path || !GetModuleDirectory(kPathBytes, path.get()) || !AppendSettingsFileName(path.get(), kPathBytes)) {
        ::MessageBoxW(nullptr, kOutOfMemory, nullptr, MB_OK);
        return FALSE;
    }
    SetProfileName(std::move(path));

    switch (RoleFromArguments(__argc, __argv)) {
    case Role::Settings:
        RunSettings();
        return FALSE;
    case Role::Preview:
        return StartPreview(__argc > 2 ? __argv[2] : nullptr);
    case Role::FullScreen:
        return StartFullScreen();
    case Role::None:
        break;
    }
    return FALSE;
}

BOOL CSaverApp::GetModuleDirectory(int nSize, char* lpszBuffer)
{
    const DWORD size = static_cast<DWORD>(nSize);
    const DWORD length = ::GetModuleFileNameA(nullptr, lpszBuffer, size);
    if (length == 0 || length >= size)
        return FALSE;
    CutAtLastBackslash(lpszBuffer, [](unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; });
    return TRUE;
}

// A child covering the client area of the window the desktop handed over; a
// handle that names no window ends the start.
BOOL CSaverApp::StartPreview(const char* lpszHostHandle)
{
    std::intptr_t value = 0;
    if (!ParseWindowHandle(lpszHostHandle, value))
        return FALSE;
    const HWND hHost = reinterpret_cast<HWND>(value);
    if (!::IsWindow(hHost))
        return FALSE;

    auto* pView = new CSlideView(TRUE);
    RECT rc;
    ::GetClientRect(hHost, &rc);
    if (!pView->Create(0, WS_CHILD | WS_VISIBLE, rc, hHost))
        return FALSE;
    m_pMainWnd = pView;
    return TRUE;
}

BOOL CSaverApp::StartFullScreen()
{
    auto* pWnd = new CSaverWnd;
    if (!pWnd->CreateFullScreen())
        return FALSE;
    m_pMainWnd = pWnd;
    return TRUE;
}

// The file's values as they are, unclamped: the dialog shows out-of-range
// values at the nearer end of a bar, and OK writes what the dialog shows.
void CSaverApp::RunSettings()
{
    using namespace settings;
    CSettingsDlg dlg;
    dlg.m_strFolder = GetProfileString(kSection, kFolder.key, kFolder.fallback);
    dlg.m_strMidi = GetProfileString(kSection, kMidi.key, kMidi.fallback);
    dlg.m_nResolution = static_cast<int>(GetProfileInt(kSection, kResolution.key, kResolution.fallback));
    dlg.m_nSpeed = static_cast<int>(GetProfileInt(kSection, kSpeed.key, kSpeed.fallback));
    dlg.m_nChangeTimes = static_cast<int>(GetProfileInt(kSection, kChangeTimes.key, kChangeTimes.fallback));
    dlg.m_nVelmoraMode = static_cast<int>(GetProfileInt(kSection, kVelmoraMode.key, kVelmoraMode.fallback));
    dlg.m_nAdjustPictureSize =
        static_cast<int>(GetProfileInt(kSection, kAdjustPictureSize.key, kAdjustPictureSize.fallback));

    m_pMainWnd = &dlg;
    const INT_PTR result = dlg.DoModal();
    m_pMainWnd = nullptr;
    if (result != IDOK)
        return;

    // All seven, changed or not.
    WriteProfileInt(kSection, kResolution.key, dlg.m_nResolution);
    WriteProfileInt(kSection, kSpeed.key, dlg.m_nSpeed);
    WriteProfileInt(kSection, kChangeTimes.key, dlg.m_nChangeTimes);
    WriteProfileString(kSection, kFolder.key, dlg.m_strFolder.c_str());
    WriteProfileString(kSection, kMidi.key, dlg.m_strMidi.c_str());
    WriteProfileInt(kSection, kVelmoraMode.key, dlg.m_nVelmoraMode);
    WriteProfileInt(kSection, kAdjustPictureSize.key, dlg.m_nAdjustPictureSize);
}
