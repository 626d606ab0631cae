#include "view/Picture.h"

#include "view/JpegHeader.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

namespace {

// Owners of the stream's memory block and of the stream.
struct GlobalMemory {
    explicit GlobalMemory(SIZE_T size) : handle(::GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalMemory()
    {
        if (handle != nullptr)
            ::GlobalFree(handle);
    }
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    HGLOBAL handle;
};

struct StreamOwner {
    ~StreamOwner()
    {
        if (stream != nullptr)
            stream->Release();
    }
    IStream* stream = nullptr;
};

// Reads the whole file into the block and its EXIF orientation; FALSE when it
// cannot be read or its frame is one the decoder cannot hold.
BOOL ReadWhole(CFile& file, HGLOBAL block, UINT length, int& orientation)
{
    auto* bytes = static_cast<unsigned char*>(::GlobalLock(block));
    if (bytes == nullptr)
        return FALSE;
    UINT done = 0;
    while (done < length) {
        const UINT read = file.Read(bytes + done, length - done);
        if (read == 0)
            break;
        done += read;
    }
    const std::optional<jpeg::FrameSize> frame = jpeg::ReadFrameSize(bytes, done);
    orientation = jpeg::ReadOrientation(bytes, done);
    ::GlobalUnlock(block);
    return done == length && frame && jpeg::IsDecodable(*frame);
}

// No JPEG worth showing comes near this; a longer file is not read at all.
constexpr ULONGLONG kMaxFileLength = 256u << 20;

// Rows of 32-bit pixels, bottom-up: GetDIBits counts scan lines from the
// bottom, so a band is asked for by its lowest row.
BITMAPINFO Rows32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

BOOL CPicture::Load(const char* path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return FALSE;
    return Load(file);
}

// The whole file goes into a memory stream, but reaches the decoder only when
// its frame header claims a size that the decoder can hold.
BOOL CPicture::Load(CFile& file)
{
    Free();
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > kMaxFileLength)
        return FALSE;
    GlobalMemory block(static_cast<SIZE_T>(length));
    int orientation = 1;
    if (block.handle == nullptr || !ReadWhole(file, block.handle, static_cast<UINT>(length), orientation))
        return FALSE;

    StreamOwner owner;
    if (FAILED(::CreateStreamOnHGlobal(block.handle, TRUE, &owner.stream)))
        return FALSE;
    block.handle = nullptr;  // the stream frees it now
    if (!Load(owner.stream))
        return FALSE;
    m_orientation = resample::FromExif(orientation);
    return TRUE;
}

BOOL CPicture::Load(IStream* pStream)
{
    Free();
    const HRESULT hr = ::OleLoadPicture(pStream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&m_pPicture));
    if (FAILED(hr))
        m_pPicture = nullptr;
    return SUCCEEDED(hr);
}

SIZE CPicture::GetHimetricSize() const
{
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(m_pPicture->get_Width(&width)))
        width = 0;
    if (FAILED(m_pPicture->get_Height(&height)))
        height = 0;
    return SIZE{width, height};
}

SIZE CPicture::GetSize(CDC* pDC) const
{
    if (m_pPicture == nullptr)
        return SIZE{0, 0};
    SIZE size = GetHimetricSize();
    if (pDC != nullptr) {
        pDC->HIMETRICtoDP(&size);
    } else {
        CWindowDC screen(nullptr);
        screen.HIMETRICtoDP(&size);
    }
    if (m_orientation.swapAxes)
        std::swap(size.cx, size.cy);
    return size;
}

BOOL CPicture::Render(CDC* pDC, RECT rc, const RECT* pBounds)
{
    if (m_pPicture == nullptr)
        return FALSE;
    if (rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0) {
        const SIZE natural = GetSize(pDC);
        rc = RECT{0, 0, natural.cx, natural.cy};
    }
    const SIZE size{rc.right - rc.left, rc.bottom - rc.top};
    if (size.cx > 0 && size.cy > 0 && pBounds == nullptr && PrepareScaled(*pDC, size)) {
        CMemoryDC source(*pDC);
        CSelectObject select(source, m_scaled.Get());
        pDC->BitBlt(rc.left, rc.top, size.cx, size.cy, source, 0, 0, SRCCOPY);
    } else {
        RenderStretched(pDC->GetSafeHdc(), rc, pBounds);  // empty, inverted, or no memory for a copy
    }
    return TRUE;
}

// HIMETRIC runs upward: the source starts at the top edge and goes down, so the
// whole picture lands upright, filling the rectangle whatever its aspect. The
// stretch mode of a fresh context would AND together the pixels it drops.
void CPicture::RenderStretched(HDC hDC, const RECT& rc, const RECT* pBounds) const
{
    const int mode = ::SetStretchBltMode(hDC, HALFTONE);
    POINT origin{};
    ::SetBrushOrgEx(hDC, 0, 0, &origin);
    const SIZE himetric = GetHimetricSize();
    m_pPicture->Render(hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, 0, himetric.cy, himetric.cx,
                       -himetric.cy, pBounds);
    ::SetBrushOrgEx(hDC, origin.x, origin.y, nullptr);
    ::SetStretchBltMode(hDC, mode);
}

bool CPicture::Resampled(const CDC& target, SIZE size, resample::Pixel* out) const
{
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(m_pPicture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(m_pPicture->get_Handle(&handle)))
        return false;
    const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP stored{};
    if (::GetObjectA(bitmap, sizeof stored, &stored) != static_cast<int>(sizeof stored))
        return false;
    const int width = stored.bmWidth;
    const int height = stored.bmHeight;
    const auto read = [&](int top, int count, resample::Pixel* rows) {
        BITMAPINFO info = Rows32(width, height);
        if (::GetDIBits(target.GetSafeHdc(), bitmap, static_cast<UINT>(height - top - count), static_cast<UINT>(count),
                        rows, &info, DIB_RGB_COLORS) != count)
            return false;
        for (int i = 0, j = count - 1; i < j; ++i, --j)
            std::swap_ranges(rows + i * width, rows + (i + 1) * width, rows + j * width);
        return true;
    };
    return resample::Resample(width, height, read, m_orientation, size.cx, size.cy, out);
}

BOOL CPicture::PrepareScaled(const CDC& target, SIZE size)
{
    const int bits = target.GetDeviceCaps(BITSPIXEL) * target.GetDeviceCaps(PLANES);
    if (m_scaled && m_scaledSize.cx == size.cx && m_scaledSize.cy == size.cy && m_nScaledBits == bits)
        return TRUE;
    m_scaled = CBitmap(CreateCompatibleBitmap(target, size.cx, size.cy));
    if (!m_scaled)
        return FALSE;
    std::vector<resample::Pixel> pixels;
    try {
        pixels.resize(static_cast<size_t>(size.cx) * size.cy);
    } catch (const std::bad_alloc&) {
        pixels.clear();
    }
    BITMAPINFO info = Rows32(size.cx, -size.cy);  // top-down
    if (pixels.empty() || !Resampled(target, size, pixels.data()) ||
        ::SetDIBits(target.GetSafeHdc(), m_scaled.Get(), 0, static_cast<UINT>(size.cy), pixels.data(), &info,
                    DIB_RGB_COLORS) != size.cy) {
        CMemoryDC scaled(target);
        if (scaled.GetSafeHdc() == nullptr) {
            m_scaled = CBitmap();
            return FALSE;
        }
        CSelectObject select(scaled, m_scaled.Get());
        RenderStretched(scaled.GetSafeHdc(), RECT{0, 0, size.cx, size.cy}, nullptr);
    }
    m_scaledSize = size;
    m_nScaledBits = bits;
    return TRUE;
}

void CPicture::Free()
{
    m_scaled = CBitmap();
    m_orientation = resample::Orientation{};
    if (m_pPicture != nullptr) {
        IPicture* picture = m_pPicture;
        m_pPicture = nullptr;
        picture->Release();
    }
}
