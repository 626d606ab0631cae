// Not a test: times the load of a picture (against a reference time for the
// same file, when given), a whole change of picture (the load, then the tile's
// copy resampled from the decoded pixels) and one frame of the slide view with
// that picture in the tile against a bare black fill and copy of the same
// size, and the frames of a tick on two displays. Prints rows of the table of
// tools/bench.
// Usage: frame_bench PICTURE.jpg [REFERENCE-MS]
#include "fw/Com.h"
#include "fw/WinApp.h"
#include "tests/win/TargetDC.h"
#include "view/PictureCycle.h"
#include "view/SlideView.h"

#include <algorithm>
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
    std::printf("%-34s %11.1f ms %24s %7s\n", figure, ms, reference, ratio);
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
    CPicture probe;
    SIZE size{};
    const double load = Median(5, [&] {
        probe.Load(argv[1]);
        size = probe.GetSize();
    });
    char figure[64], reference[32] = "", ratio[16] = "";
    std::snprintf(figure, sizeof figure, "JPEG load, %ld x %ld", size.cx, size.cy);
    if (argc > 2) {
        const double djpeg = std::atof(argv[2]);
        std::snprintf(reference, sizeof reference, "djpeg %.1f ms", djpeg);
        std::snprintf(ratio, sizeof ratio, "%.2f", load / djpeg);
    }
    Row(figure, load, reference, ratio);

    // A change of picture on a 1920 x 1080 screen: decoded, then resampled
    // (and turned upright) into the tile by its first frame.
    const pictures::Extent tile = pictures::FitToThird({size.cx, size.cy}, 1920, 1080);
    CTargetDC tileTarget(tile.cx, tile.cy, 0);
    std::vector<double> changes, copies;
    for (int i = 0; i < 5; ++i) {
        CPicture picture;
        const double loaded = Milliseconds([&] { picture.Load(argv[1]); });
        copies.push_back(Milliseconds([&] { picture.Render(&tileTarget, RECT{0, 0, tile.cx, tile.cy}); }));
        changes.push_back(loaded + copies.back());
    }
    std::snprintf(figure, sizeof figure, "picture change, tile %d x %d", tile.cx, tile.cy);
    std::snprintf(reference, sizeof reference, "load alone %.1f ms", load);
    std::snprintf(ratio, sizeof ratio, "%.2f", Median(changes) / load);
    Row(figure, Median(changes), reference, ratio);
    std::snprintf(figure, sizeof figure, "  the tile's copy alone");
    std::snprintf(ratio, sizeof ratio, "%.2f", Median(copies) / load);
    Row(figure, Median(copies), reference, ratio);

    double ticks[2] = {};  // the frames of a tick on 1920 x 1080 and on 1280 x 1024, with the picture
    for (const SIZE screen : {SIZE{1920, 1080}, SIZE{1280, 1024}, SIZE{3840, 2160}}) {
        BenchView view;
        if (!view.Create(0, WS_POPUP, RECT{0, 0, screen.cx, screen.cy}, nullptr))
            return 1;
        view.m_pPicture = std::make_unique<CPicture>();
        view.m_pPicture->Load(argv[1]);
        const pictures::Extent tile = pictures::FitToThird({size.cx, size.cy}, screen.cx, screen.cy);
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
