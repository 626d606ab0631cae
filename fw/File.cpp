#include "fw/File.h"

BOOL CFile::Open(const char* path, UINT nOpenFlags)
{
    Close();
    if (path == nullptr)
        return FALSE;
    const DWORD share = (nOpenFlags & shareDenyNone) != 0 ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0;
    m_hFile = ::CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return m_hFile != INVALID_HANDLE_VALUE;
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size{};
    if (m_hFile == INVALID_HANDLE_VALUE || !::GetFileSizeEx(m_hFile, &size))
        return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

UINT CFile::Read(void* buffer, UINT count)
{
    DWORD read = 0;
    if (m_hFile == INVALID_HANDLE_VALUE || !::ReadFile(m_hFile, buffer, count, &read, nullptr))
        return 0;
    return read;
}

BOOL CFile::ReadAll(void* buffer, size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    while (count > 0) {
        const UINT read = Read(bytes, static_cast<UINT>(count < 0x10000000 ? count : 0x10000000));
        if (read == 0)
            return FALSE;
        bytes += read;
        count -= read;
    }
    return TRUE;
}

BOOL CFile::ReadAt(ULONGLONG offset, void* buffer, size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    while (count > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        const DWORD ask = static_cast<DWORD>(count < 0x10000000 ? count : 0x10000000);
        if (m_hFile == INVALID_HANDLE_VALUE || !::ReadFile(m_hFile, bytes, ask, &read, &at) || read == 0)
            return FALSE;
        bytes += read;
        offset += read;
        count -= read;
    }
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}
