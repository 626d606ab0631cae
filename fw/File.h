// A file opened for reading (CreateFileA / ReadFile / CloseHandle).
#pragma once

#include <windows.h>

class CFile {
public:
    // The share mode by which others may do anything with the file while it
    // is open: read, write, rename and delete it.
    static constexpr UINT modeRead = 0x0000;
    static constexpr UINT shareDenyNone = 0x0040;

    CFile() = default;
    ~CFile() { Close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens an existing file for reading; FALSE when it cannot be opened.
    // Without a share mode others may neither read nor write it meanwhile.
    BOOL Open(const char* path, UINT nOpenFlags);
    // The length in bytes; 0 for a file that is not open.
    ULONGLONG GetLength() const;
    // Reads up to `count` bytes; the number read, 0 at the end or on failure.
    UINT Read(void* buffer, UINT count);
    // Reads exactly `count` bytes; FALSE when the file ends first or fails.
    BOOL ReadAll(void* buffer, size_t count);
    // Reads exactly `count` bytes from `offset` on (ReadFile at an offset).
    BOOL ReadAt(ULONGLONG offset, void* buffer, size_t count);
    void Close();

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};
