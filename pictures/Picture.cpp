#include "pictures/Picture.h"

#include "fw/Com.h"
#include "fw/File.h"
#include "pictures/JpegHeader.h"
#include "pictures/PictureHeader.h"

#include <wincodec.h>

#include <algorithm>
#include <new>
#include <utility>

namespace {

// Windows' JPEG decoder scales down by 2, 4 or 8 as it decodes, through an
// interface that MinGW's headers of Debian 12 lack; its methods as
// documented, after IUnknown's.
struct ISourceTransform : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* prc, UINT uiWidth, UINT uiHeight,
                                                 WICPixelFormatGUID* pguidDstFormat,
                                                 WICBitmapTransformOptions dstTransform, UINT nStride,
                                                 UINT cbBufferSize, BYTE* pbBuffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* puiWidth, UINT* puiHeight) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* pguidDstFormat) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions dstTransform,
                                                           BOOL* pfIsSupported) = 0;
};
constexpr IID kSourceTransform{0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

// The file's bytes, when its first ones are those of a picture: of anything
// else nothing more is read. FALSE too when the file is empty, larger than
// any picture, or ends before its length (being written).
BOOL ReadPicture(CFile& file, std::vector<unsigned char>& bytes)
{
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > pictures::kMaxBytes)
        return FALSE;
    const size_t head = std::min<size_t>(static_cast<size_t>(length), pictures::kHeadBytes);
    try {
        bytes.resize(head);
        if (!file.ReadAll(bytes.data(), head) || pictures::SniffFormat(bytes.data(), head) == pictures::Format::None)
            return FALSE;
        bytes.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return file.ReadAll(bytes.data() + head, bytes.size() - head);
}

// Bytes a pixel takes in the formats that a codec's smaller decode may give.
UINT PixelBytes(const WICPixelFormatGUID& format)
{
    if (format == GUID_WICPixelFormat32bppBGR || format == GUID_WICPixelFormat32bppBGRA ||
        format == GUID_WICPixelFormat32bppPBGRA)
        return 4;
    return format == GUID_WICPixelFormat24bppBGR ? 3 : format == GUID_WICPixelFormat8bppGray ? 1 : 0;
}

// Where the codec decodes smaller (Windows' JPEG codec does, by 2, 4 and 8),
// the smallest copy that is at least `least` on both axes; FALSE when there
// is none, and then the frame is read whole.
BOOL DecodeSmaller(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT width, UINT height, SIZE least,
                   CComPtr<IWICBitmap>& smaller)
{
    CComPtr<ISourceTransform> transform;
    if (FAILED(frame->QueryInterface(kSourceTransform, transform.PutVoid())))
        return FALSE;
    for (const UINT scale : {8u, 4u, 2u}) {
        UINT w = (width + scale - 1) / scale, h = (height + scale - 1) / scale;
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        if (static_cast<LONG>(w) < least.cx || static_cast<LONG>(h) < least.cy ||
            FAILED(transform->GetClosestSize(&w, &h)) || static_cast<LONG>(w) < least.cx ||
            static_cast<LONG>(h) < least.cy || w >= width || h >= height ||
            FAILED(transform->GetClosestPixelFormat(&format)) || PixelBytes(format) == 0)
            continue;
        const UINT stride = (w * PixelBytes(format) + 3) & ~3u;
        std::vector<BYTE> pixels;
        try {
            pixels.resize(static_cast<size_t>(stride) * h);
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
        const UINT size = static_cast<UINT>(pixels.size());
        return SUCCEEDED(transform->CopyPixels(nullptr, w, h, &format, WICBitmapTransformRotate0, stride, size,
                                               pixels.data())) &&
               SUCCEEDED(factory->CreateBitmapFromMemory(w, h, format, stride, size, pixels.data(), smaller.Put()));
    }
    return FALSE;
}

// Rows of 32-bit pixels from the top.
BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

BOOL CPicture::Load(const char* path, const Fit& fit)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return FALSE;
    Free();
    Bytes bytes;
    if (!ReadPicture(file, bytes))
        return FALSE;
    file.Close();
    return Load(bytes, fit);
}

BOOL CPicture::Load(const Bytes& bytes, const Fit& fit, int leastSide)
{
    Free();
    const pictures::Format format = pictures::SniffFormat(bytes.data(), bytes.size());
    if (format == pictures::Format::None)
        return FALSE;
    if (pictures::HeaderTellsSize(format)) {
        const std::optional<pictures::PixelSize> claimed = pictures::ReadPixelSize(format, bytes.data(), bytes.size());
        if (!claimed || !pictures::IsDecodable(*claimed))
            return FALSE;
    }
    const int orientation = format == pictures::Format::Jpeg ? jpeg::ReadOrientation(bytes.data(), bytes.size()) : 1;
    return Decode(bytes, orientation, fit, leastSide);
}

// The decoder's own size guards every format before a pixel is decoded. Its
// pixels, premultiplied by their opacity (so that a transparent part shows
// black), are read a band of rows at a time, resampled and turned upright.
BOOL CPicture::Decode(const Bytes& bytes, int orientation, const Fit& fit, int leastSide)
{
    CComPtr<IWICImagingFactory> factory;
    CComPtr<IWICStream> stream;
    CComPtr<IWICBitmapDecoder> decoder;
    CComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.PutVoid())) ||
        FAILED(factory->CreateStream(stream.Put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.Put())) ||
        FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(frame->GetSize(&width, &height)) ||
        !pictures::IsDecodable({static_cast<int>(width), static_cast<int>(height)}))
        return FALSE;

    const resample::Orientation upright = resample::FromExif(orientation);
    const SIZE natural = upright.swapAxes ? SIZE{static_cast<LONG>(height), static_cast<LONG>(width)}
                                          : SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
    if (std::min(natural.cx, natural.cy) < leastSide)
        return FALSE;
    SIZE kept = fit ? fit(natural) : natural;
    kept = SIZE{std::max(kept.cx, 1L), std::max(kept.cy, 1L)};
    CComPtr<IWICBitmap> smaller;
    IWICBitmapSource* source = frame.Get();
    if (DecodeSmaller(factory.Get(), frame.Get(), width, height,
                      upright.swapAxes ? SIZE{kept.cy, kept.cx} : kept, smaller))
        source = smaller.Get();
    CComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Put())) ||
        FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)))
        return FALSE;

    std::vector<resample::Pixel> pixels;
    try {
        pixels.resize(static_cast<size_t>(kept.cx) * kept.cy);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    const auto read = [&](int top, int count, resample::Pixel* rows) {
        const WICRect rect{0, top, static_cast<INT>(width), count};
        return SUCCEEDED(converter->CopyPixels(&rect, width * 4, width * 4 * static_cast<UINT>(count),
                                               reinterpret_cast<BYTE*>(rows)));
    };
    if (!resample::Resample(static_cast<int>(width), static_cast<int>(height), read, upright, kept.cx, kept.cy,
                            pixels.data()))
        return FALSE;
    m_size = natural;
    m_pixels = std::move(pixels);
    m_kept = kept;
    return TRUE;
}

BOOL CPicture::Render(CDC* pDC, RECT rc)
{
    if (m_pixels.empty())
        return FALSE;
    if (rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0)
        rc = RECT{0, 0, m_size.cx, m_size.cy};
    const SIZE size{rc.right - rc.left, rc.bottom - rc.top};
    if (size.cx <= 0 || size.cy <= 0)
        return TRUE;  // nothing to see
    const std::vector<resample::Pixel>* pixels = &m_pixels;
    if (size.cx != m_kept.cx || size.cy != m_kept.cy) {
        if (size.cx != m_drawnSize.cx || size.cy != m_drawnSize.cy) {
            m_drawnSize = SIZE{};
            try {
                m_drawn.resize(static_cast<size_t>(size.cx) * size.cy);
            } catch (const std::bad_alloc&) {
                m_drawn.clear();
                return TRUE;
            }
            const auto read = [&](int top, int count, resample::Pixel* rows) {
                std::copy_n(&m_pixels[static_cast<size_t>(top) * m_kept.cx], static_cast<size_t>(count) * m_kept.cx,
                            rows);
                return true;
            };
            if (!resample::Resample(m_kept.cx, m_kept.cy, read, {}, size.cx, size.cy, m_drawn.data()))
                return TRUE;
            m_drawnSize = size;
        }
        pixels = &m_drawn;
    }
    const BITMAPINFO info = TopDown32(size.cx, size.cy);
    ::StretchDIBits(pDC->GetSafeHdc(), rc.left, rc.top, size.cx, size.cy, 0, 0, size.cx, size.cy, pixels->data(),
                    &info, DIB_RGB_COLORS, SRCCOPY);
    return TRUE;
}

void CPicture::Free()
{
    m_size = m_kept = m_drawnSize = SIZE{};
    m_pixels = std::vector<resample::Pixel>();
    m_drawn = std::vector<resample::Pixel>();
}
