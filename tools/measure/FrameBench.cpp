// Not a test: times the decoding of a photo by OleLoadPicture with its pixels
// read back (as the saver decoded before) and by Windows' imaging component
// (as it decodes now), against a reference time for the same file when given;
// a whole change of picture now (the decode resampled into the tile); and one
// frame of the slide view with that picture in the tile against a bare black
// fill and copy of the same size, and the frames of a tick on two displays.
// Prints rows of the table of tools/bench.
// Usage: frame_bench PICTURE.jpg [REFERENCE-MS]
#include "fw/Com.h"
#include "fw/File.h"
#include "fw/WinApp.h"
#include "tests/win/TargetDC.h"
#include "pictures/PictureCycle.h"
#include "view/SlideView.h"

#include <ocidl.h>
#include <olectl.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

class BenchView : public CSlideView {
public:
    BenchView() : CSlideView(FALSE) {}
    using CSlideView::m_nHeight;
    using CSlideView::m_nPosX;
    using CSlideView::m_nPosY;
    using CSlideView::m_nWidth;
    using CSlideView::m_pPicture;
};

// The time of one run, in milliseconds.
double Milliseconds(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The median of a number of runs, in milliseconds.
double Median(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(Milliseconds(work));
    return Median(times);
}

void Row(const char* figure, double ms, const char* reference, const char* ratio)
{
    std::printf("%-40s %11.1f ms %24s %7s\n", figure, ms, reference, ratio);
}

std::vector<char> ReadFile(const char* path)
{
    CFile file;
    std::vector<char> bytes(file.Open(path, CFile::modeRead) ? static_cast<size_t>(file.GetLength()) : 0);
    file.ReadAll(bytes.data(), bytes.size());
    return bytes;
}

// As the saver decoded before: OleLoadPicture from a memory stream, then the
// bitmap's pixels read back as 32-bit rows. The picture's size.
SIZE OleDecode(const std::vector<char>& bytes)
{
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(::GlobalLock(block)));
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    IPicture* picture = nullptr;
    SIZE size{};
    if (SUCCEEDED(::CreateStreamOnHGlobal(block, TRUE, &stream)) &&
        SUCCEEDED(::OleLoadPicture(stream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&picture)))) {
        OLE_HANDLE handle = 0;
        picture->get_Handle(&handle);
        const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
        BITMAP stored{};
        ::GetObjectA(bitmap, sizeof stored, &stored);
        size = SIZE{stored.bmWidth, stored.bmHeight};
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<std::uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
        CClientDC screen(nullptr);
        ::GetDIBits(screen.GetSafeHdc(), bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
        picture->Release();
    }
    if (stream != nullptr)
        stream->Release();
    return size;
}

// As the saver decodes now: Windows' imaging component from memory, converted
// to 32-bit rows.
void WicDecode(const std::vector<char>& bytes)
{
    CComPtr<IWICImagingFactory> factory;
    CComPtr<IWICStream> stream;
    CComPtr<IWICBitmapDecoder> decoder;
    CComPtr<IWICBitmapFrameDecode> frame;
    CComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                       factory.PutVoid());
    factory->CreateStream(stream.Put());
    stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                 static_cast<DWORD>(bytes.size()));
    factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Put());
    decoder->GetFrame(0, frame.Put());
    frame->GetSize(&width, &height);
    factory->CreateFormatConverter(converter.Put());
    converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                          WICBitmapPaletteTypeCustom);
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size() * 4),
                          reinterpret_cast<BYTE*>(pixels.data()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: frame_bench PICTURE.jpg [REFERENCE-MS]\n");
        return 2;
    }
    static CWinApp app;
    const CComApartment mta(COINIT_MULTITHREADED);
    const std::vector<char> bytes = ReadFile(argv[1]);
    SIZE size{};
    const double ole = Median(5, [&] { size = OleDecode(bytes); });
    const double wic = Median(5, [&] { WicDecode(bytes); });
    char figure[64], reference[32] = "", ratio[16] = "";
    const auto djpegRow = [&](const char* what, double ms) {
        std::snprintf(figure, sizeof figure, "%s, %ld x %ld", what, size.cx, size.cy);
        if (argc > 2) {
            const double djpeg = std::atof(argv[2]);
            std::snprintf(reference, sizeof reference, "djpeg %.1f ms", djpeg);
            std::snprintf(ratio, sizeof ratio, "%.2f", ms / djpeg);
        }
        Row(figure, ms, reference, ratio);
    };
    djpegRow("OleLoadPicture + GetDIBits", ole);
    djpegRow("WIC decode", wic);

    // A change of picture on a 1920 x 1080 screen: decoded, resampled into
    // the tile (and turned upright).
    const pictures::Extent tile = pictures::FitToThird({size.cx, size.cy}, 1920, 1080);
    const auto toTile = [&](SIZE) { return SIZE{tile.cx, tile.cy}; };
    const double change = Median(5, [&] {
        CPicture picture;
        picture.Load(argv[1], toTile);
    });
    std::snprintf(figure, sizeof figure, "picture change, tile %d x %d", tile.cx, tile.cy);
    std::snprintf(reference, sizeof reference, "WIC decode %.1f ms", wic);
    std::snprintf(ratio, sizeof ratio, "%.2f", change / wic);
    Row(figure, change, reference, ratio);

    double ticks[2] = {};  // the frames of a tick on 1920 x 1080 and on 1280 x 1024, with the picture
    for (const SIZE screen : {SIZE{1920, 1080}, SIZE{1280, 1024}, SIZE{3840, 2160}}) {
        BenchView view;
        if (!view.Create(0, WS_POPUP, RECT{0, 0, screen.cx, screen.cy}, nullptr))
            return 1;
        const pictures::Extent tile = pictures::FitToThird({size.cx, size.cy}, screen.cx, screen.cy);
        view.m_pPicture = std::make_unique<CPicture>();
        view.m_pPicture->Load(argv[1], [&](SIZE) { return SIZE{tile.cx, tile.cy}; });
        view.m_nWidth = tile.cx;
        view.m_nHeight = tile.cy;
        view.m_nPosX = screen.cx / 3;
        view.m_nPosY = screen.cy / 3;

        CTargetDC target(screen.cx, screen.cy, 0);
        const CDC& format = target;
        const double frame = Median(31, [&] { view.DrawFrame(&target); });
        const double bare = Median(31, [&] {
            CMemoryDC memDC(format);
            CBitmap bitmap(CreateCompatibleBitmap(format, screen.cx, screen.cy));
            CSelectObject select(memDC, bitmap.Get());
            memDC.FillSolidRect(RECT{0, 0, screen.cx, screen.cy}, 0);
            target.BitBlt(0, 0, screen.cx, screen.cy, memDC, 0, 0, SRCCOPY);
        });
        if (screen.cy < 2000)
            ticks[screen.cx < 1920] = frame;
        std::unique_ptr<CPicture> picture = std::move(view.m_pPicture);
        const double fan = Median(31, [&] { view.DrawFrame(&target); });
        std::snprintf(figure, sizeof figure, "frame %ld x %ld, tile %d x %d", screen.cx, screen.cy, tile.cx, tile.cy);
        std::snprintf(reference, sizeof reference, "fill + copy %.1f ms", bare);
        std::snprintf(ratio, sizeof ratio, "%.1f", frame / bare);
        Row(figure, frame, reference, ratio);
        std::snprintf(figure, sizeof figure, "  the same without the picture");
        std::snprintf(ratio, sizeof ratio, "%.1f", fan / bare);
        Row(figure, fan, reference, ratio);
        view.DestroyWindow();
    }
    Row("frames of a tick, 1920 x 1080 + 1280 x 1024", ticks[0] + ticks[1], "", "");
    return 0;
}
