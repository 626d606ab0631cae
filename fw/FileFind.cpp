#include "fw/FileFind.h"

BOOL CFileFind::FindFile(const char* pattern)
{
    Close();
    if (pattern == nullptr)
        return FALSE;
    m_hFind = ::FindFirstFileA(pattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHasNext = TRUE;

    // The entries' folder is the pattern's part before its last separator.
    const std::string text(pattern);
    const std::string::size_type cut = text.find_last_of("\\/");
    m_strRoot = cut == std::string::npos ? std::string(".") : text.substr(0, cut);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!HasNext())
        return FALSE;
    m_found = m_next;
    m_bHasNext = ::FindNextFileA(m_hFind, &m_next);
    return m_bHasNext;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE) {
        ::FindClose(m_hFind);
        m_hFind = INVALID_HANDLE_VALUE;
    }
    m_bHasNext = FALSE;
}
