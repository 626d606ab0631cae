#include "fw/WinApp.h"

#include <cstdio>
#include <vector>

namespace {

CWinApp* g_app = nullptr;

// Values longer than this are cut, as the platform cuts them itself.
constexpr DWORD kLongestProfileString = 65536;

}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleA(nullptr); }

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

void CWinApp::SetProfileName(std::unique_ptr<char[]> path)
{
    m_profileName = std::move(path);
    m_pszProfileName = m_profileName.get();
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int nDefault) const
{
    if (m_pszProfileName == nullptr)
        return static_cast<UINT>(nDefault);
    return ::GetPrivateProfileIntA(section, entry, nDefault, m_pszProfileName);
}

std::string CWinApp::GetProfileString(const char* section, const char* entry, const char* lpszDefault) const
{
    if (m_pszProfileName == nullptr)
        return lpszDefault;
    // The platform reports a cut value by filling the buffer: grow it until the
    // whole value fits.
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length =
            ::GetPrivateProfileStringA(section, entry, lpszDefault, buffer.data(), size, m_pszProfileName);
        if (length + 1 < size || size >= kLongestProfileString)
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int nValue) const
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", nValue);
    return WriteProfileString(section, entry, text);
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* lpszValue) const
{
    if (m_pszProfileName == nullptr)
        return FALSE;
    return ::WritePrivateProfileStringA(section, entry, lpszValue, m_pszProfileName);
}

int AfxWinMain()
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
