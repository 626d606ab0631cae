#include "fw/WinApp.h"

#include "fw/File.h"
#include "fw/ProfileText.h"
#include "fw/Shell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

CWinApp* g_app = nullptr;

// Values longer than this are cut, as the platform cuts them itself.
constexpr DWORD kLongestProfileString = 65536;
// A settings file longer than this is read only so far, for values written in
// the system's code page.
constexpr ULONGLONG kLongestProfileFile = 1 << 20;
// U+FFFD in UTF-8: what the platform makes of bytes that are not UTF-8.
constexpr char kReplacement[] = "\xEF\xBF\xBD";

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
        if (length + 1 < size || size >= kLongestProfileString) {
            const std::string value(buffer.data(), length);
            const bool legacy =
                ::GetACP() == CP_UTF8 && (value.find(kReplacement) != std::string::npos || !IsUtf8(value));
            return legacy ? FromSystemCodePage(section, entry, value) : value;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// A value that the platform read as UTF-8 (U+FFFD where the bytes were none),
// or handed out as the file's bytes that are no UTF-8, again from the file's
// bytes, converted from the system's code page in which an older version
// wrote it; as it was where the bytes are UTF-8 after all.
std::string CWinApp::FromSystemCodePage(const char* section, const char* entry, const std::string& value) const
{
    CFile file;
    std::string bytes(static_cast<size_t>(file.Open(m_pszProfileName, CFile::modeRead | CFile::shareDenyNone)
                                              ? std::min<ULONGLONG>(file.GetLength(), kLongestProfileFile)
                                              : 0),
                      '\0');
    char codePage[8] = "";
    const std::optional<std::string> text =
        file.ReadAll(&bytes[0], bytes.size()) ? FindProfileText(bytes, section, entry) : std::nullopt;
    if (!text || IsUtf8(*text) ||
        !::GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, codePage, sizeof codePage))
        return value;
    const UINT from = static_cast<UINT>(std::atoi(codePage));
    const int count = ::MultiByteToWideChar(from, 0, text->data(), static_cast<int>(text->size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(from, 0, text->data(), static_cast<int>(text->size()), &wide[0], count);
    std::string utf8;
    return PathFromWide(wide.c_str(), utf8) ? utf8 : value;
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
