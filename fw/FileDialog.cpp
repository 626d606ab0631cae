#include "fw/FileDialog.h"

#include "fw/System.h"

#include <algorithm>

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, HWND hParent)
    : m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt != nullptr ? lpszDefExt : "")
{
    if (lpszFileName != nullptr)
        lstrcpynA(m_szFileName, lpszFileName, kMaxFileBytes);
    if (lpszFilter != nullptr) {
        m_strFilter = lpszFilter;
        std::replace(m_strFilter.begin(), m_strFilter.end(), '|', '\0');
        // "a|b|" as well as "a|b": the list ends after the last pattern.
        if (!m_strFilter.empty() && m_strFilter.back() != '\0')
            m_strFilter.push_back('\0');
    }
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = hParent;
    m_ofn.lpstrFilter = m_strFilter.empty() ? nullptr : m_strFilter.c_str();  // c_str adds the last NUL
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = kMaxFileBytes;
    m_ofn.lpstrDefExt = m_strDefExt.empty() ? nullptr : m_strDefExt.c_str();
    m_ofn.Flags = dwFlags;
}

// COMDLG32 comes with the first chooser, from the system folder: the full
// screen and the preview never need it, nor the DLLs that it brings along.
INT_PTR CFileDialog::DoModal()
{
    using Chooser = BOOL(WINAPI*)(LPOPENFILENAMEA);
    const auto choose =
        GetSystemProc<Chooser>("comdlg32.dll", m_bOpenFileDialog ? "GetOpenFileNameA" : "GetSaveFileNameA");
    return choose != nullptr && choose(&m_ofn) ? IDOK : IDCANCEL;
}

void ShellAllocatorFree::operator()(ITEMIDLIST* pidl) const
{
    IMalloc* malloc = nullptr;
    if (SUCCEEDED(::SHGetMalloc(&malloc))) {
        malloc->Free(pidl);
        malloc->Release();
    }
}
