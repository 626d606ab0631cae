// The real JPEG files that the tests decode, fetched from Debian packages into
// the folder that VLM_CORPUS names (tools/fetch-corpus), and the pixels of
// off-screen targets.
#pragma once

#include "fw/Gdi.h"

#include <cstdlib>
#include <string>

// The Linux folder that an environment variable names, as a Windows path (wine
// sees the Linux root as Z:); "" without the variable.
inline std::string FolderOf(const char* variable)
{
    const char* folder = std::getenv(variable);
    std::string path = folder != nullptr ? folder : "";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (!path.empty() && path[0] == '\\')
        path = "Z:" + path;
    return path;
}

// A file of the corpus.
inline std::string CorpusFile(const std::string& name) { return FolderOf("VLM_CORPUS") + "\\" + name; }

// A memory context holding a bitmap of the screen's format, filled with a colour.
class CTargetDC : public CMemoryDC {
public:
    CTargetDC(int width, int height, COLORREF fill) : CMemoryDC(CClientDC(nullptr)), m_bitmap(MakeBitmap(width, height))
    {
        m_old = ::SelectObject(m_hDC, m_bitmap.Get());
        FillSolidRect(RECT{0, 0, width, height}, fill);
    }
    ~CTargetDC() { ::SelectObject(m_hDC, m_old); }

    COLORREF At(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

private:
    static HBITMAP MakeBitmap(int width, int height)
    {
        CClientDC screen(nullptr);
        return ::CreateCompatibleBitmap(screen.GetSafeHdc(), width, height);
    }

    CBitmap m_bitmap;
    HGDIOBJ m_old;
};

inline bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }
