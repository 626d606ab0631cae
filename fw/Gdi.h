// Device contexts and GDI objects. CDC borrows a device context; each class
// derived from it owns one and pairs its acquisition with its release. GDI
// objects are owned by CGdiObject; CSelectObject puts back what a selection
// replaced. No owner can be copied: a handle has one owner; GDI objects move.
#pragma once

#include <windows.h>

class CDC {
public:
    explicit CDC(HDC hDC = nullptr) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

    // Fills with a solid colour (the background colour stays set to it).
    void FillSolidRect(const RECT& rect, COLORREF color)
    {
        ::SetBkColor(m_hDC, color);
        ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, const CDC& src, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, src.m_hDC, xSrc, ySrc, dwRop);
    }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    BOOL TextOut(int x, int y, const char* text, int count) { return ::TextOutA(m_hDC, x, y, text, count); }

protected:
    HDC m_hDC;
};

// BeginPaint / EndPaint, inside WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

// GetDC / ReleaseDC: a window's client area at any time.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : CDC(::GetDC(hWnd)), m_hWnd(hWnd) {}
    ~CClientDC() { ::ReleaseDC(m_hWnd, m_hDC); }

private:
    HWND m_hWnd;
};

// CreateCompatibleDC / DeleteDC: an off-screen context of another's format.
class CMemoryDC : public CDC {
public:
    explicit CMemoryDC(const CDC& compatible) : CDC(::CreateCompatibleDC(compatible.GetSafeHdc())) {}
    ~CMemoryDC()
    {
        if (m_hDC != nullptr)
            ::DeleteDC(m_hDC);
    }
};

// Owner of one GDI object (bitmap, font, brush...): DeleteObject at the end.
template <class Handle>
class CGdiObject {
public:
    explicit CGdiObject(Handle handle = nullptr) : m_handle(handle) {}
    ~CGdiObject()
    {
        if (m_handle != nullptr)
            ::DeleteObject(m_handle);
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other) {
            if (m_handle != nullptr)
                ::DeleteObject(m_handle);
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    Handle m_handle;
};

using CBitmap = CGdiObject<HBITMAP>;
using CFont = CGdiObject<HFONT>;
using CBrush = CGdiObject<HBRUSH>;

// A font of a height in tenths of a point on a device context, the screen's
// when none is given: a height of less than a pixel leaves it to the default.
inline HFONT CreatePointFont(int nPointSize, const char* face, const CDC* pDC = nullptr)
{
    LOGFONTA font{};
    font.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    HDC hDC = pDC != nullptr ? pDC->GetSafeHdc() : ::GetDC(nullptr);
    // MulDiv(LOGPIXELSY, height, 720), made a negative character height.
    font.lfHeight = -::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), nPointSize, 720);
    if (pDC == nullptr)
        ::ReleaseDC(nullptr, hDC);
    return ::CreateFontIndirectA(&font);
}

inline HBITMAP CreateCompatibleBitmap(const CDC& dc, int nWidth, int nHeight)
{
    return ::CreateCompatibleBitmap(dc.GetSafeHdc(), nWidth, nHeight);
}

// Selects an object into a context for the guard's lifetime.
class CSelectObject {
public:
    CSelectObject(CDC& dc, HGDIOBJ object) : m_hDC(dc.GetSafeHdc()), m_old(::SelectObject(m_hDC, object)) {}
    ~CSelectObject()
    {
        if (m_old != nullptr && m_old != HGDI_ERROR)
            ::SelectObject(m_hDC, m_old);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_old;
};
