// The system's choosers: the common open/save dialog for a file, and the
// owner of the item list that the shell's folder browser returns.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <memory>
#include <string>

class CFileDialog {
public:
    // The filter in the framework's notation: "description|pattern|..."; the
    // list ends after its last pattern.
    CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                const char* lpszFilter, HWND hParent);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when a file was chosen, else IDCANCEL.
    INT_PTR DoModal();
    std::string GetPathName() const { return m_szFileName; }

    // Room for the longest path, MAX_PATH characters, in UTF-8.
    static constexpr int kMaxFileBytes = 3 * MAX_PATH;

    // Callers may set more before DoModal, such as lpstrInitialDir.
    OPENFILENAMEA m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    std::string m_strDefExt;
    std::string m_strFilter;  // the pairs, each part ended by NUL, the list by one more
    char m_szFileName[kMaxFileBytes] = "";
};

// The shell's allocator frees an item list; a list comes back without one.
struct ShellAllocatorFree {
    void operator()(ITEMIDLIST* pidl) const;
};
using CItemIdList = std::unique_ptr<ITEMIDLIST, ShellAllocatorFree>;
