// A folder listing (FindFirstFileA / FindNextFileA / FindClose). FindFile
// opens it; each FindNextFile steps onto the next entry, the first one right
// after FindFile, and answers FALSE when the entry it stepped onto is the last.
#pragma once

#include <windows.h>

#include <string>

class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Opens a listing of a pattern such as "C:\pictures\*.jpg"; FALSE when
    // nothing matches or the folder cannot be read.
    BOOL FindFile(const char* pattern);
    // Steps onto the next entry. FALSE when that entry is the last one, or
    // when no entry was left (the current one then stays).
    BOOL FindNextFile();
    // TRUE while an entry remains that FindNextFile has not stepped onto.
    BOOL HasNext() const { return m_hFind != INVALID_HANDLE_VALUE && m_bHasNext; }
    void Close();

    // The entry stepped onto: its folder's path, a backslash and its name.
    std::string GetFilePath() const { return m_strRoot + '\\' + m_found.cFileName; }
    BOOL MatchesMask(DWORD dwMask) const { return (m_found.dwFileAttributes & dwMask) != 0; }
    // "." or "..".
    BOOL IsDots() const
    {
        const char* name = m_found.cFileName;
        return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
    }
    ULONGLONG GetLength() const { return static_cast<ULONGLONG>(m_found.nFileSizeHigh) << 32 | m_found.nFileSizeLow; }
    FILETIME GetLastWriteTime() const { return m_found.ftLastWriteTime; }

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_found{};
    WIN32_FIND_DATAA m_next{};
    BOOL m_bHasNext = FALSE;
    std::string m_strRoot;
};
