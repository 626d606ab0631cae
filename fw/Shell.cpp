#include "fw/Shell.h"

BOOL PathFromWide(const wchar_t* wide, std::string& path)
{
    // A character that the code page lacks would become a "?", or a look-alike
    // ("\u0141" an "L"): a path of no file, or of another one.
    const bool utf8 = ::GetACP() == CP_UTF8;  // UTF-8 has a place for all
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lost = FALSE;
    const int size = ::WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, nullptr, utf8 ? nullptr : &lost);
    if (size <= 0 || lost)
        return FALSE;
    std::string text(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, wide, -1, &text[0], size, nullptr, nullptr);
    text.pop_back();
    path = std::move(text);
    return TRUE;
}

BOOL GetSpecialFolderPath(HWND hWnd, int nFolder, std::string& path)
{
    wchar_t buffer[MAX_PATH] = L"";
    return ::SHGetSpecialFolderPathW(hWnd, buffer, nFolder, FALSE) && PathFromWide(buffer, path);
}

BOOL GetPathFromIDList(const ITEMIDLIST* pidl, std::string& path)
{
    wchar_t buffer[MAX_PATH] = L"";
    return ::SHGetPathFromIDListW(pidl, buffer) && PathFromWide(buffer, path);
}
