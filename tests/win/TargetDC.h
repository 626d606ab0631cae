// An off-screen target for drawing code, in the tests under wine and the
// benchmarks: a memory context holding a bitmap of the screen's format,
// filled with a colour.
#pragma once

#include "fw/Gdi.h"

class CTargetDC : public CMemoryDC {
public:
    CTargetDC(int width, int height, COLORREF fill)
        : CMemoryDC(CClientDC(nullptr)), m_bitmap(CreateCompatibleBitmap(CClientDC(nullptr), width, height)),
          m_old(::SelectObject(m_hDC, m_bitmap.Get()))
    {
        FillSolidRect(RECT{0, 0, width, height}, fill);
    }
    ~CTargetDC() { ::SelectObject(m_hDC, m_old); }

    COLORREF At(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

private:
    CBitmap m_bitmap;
    HGDIOBJ m_old;
};
