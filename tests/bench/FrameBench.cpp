// Not a test: times one frame of the slide view with a picture in the tile
// against a bare black fill and copy of the same size, and the decoding of a
// phone photo. Usage: frame_bench PICTURE.jpg
#include "fw/WinApp.h"
#include "tests/win/Corpus.h"
#include "view/PictureCycle.h"
#include "view/SlideView.h"

#include <algorithm>
#include <cstdio>
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

// The median of a number of runs, in milliseconds.
double Median(int runs, const std::function<void()>& work)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        work();
        ::QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: frame_bench PICTURE.jpg\n");
        return 2;
    }
    static CWinApp app;
    CPicture probe;
    SIZE size{};
    const double load = Median(5, [&] {
        probe.Load(argv[1]);
        size = probe.GetSize();
    });
    std::printf("Load + GetSize of %ld x %ld: %.1f ms\n", size.cx, size.cy, load);

    for (const SIZE screen : {SIZE{1920, 1080}, SIZE{3840, 2160}}) {
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
        std::unique_ptr<CPicture> picture = std::move(view.m_pPicture);
        const double fan = Median(31, [&] { view.DrawFrame(&target); });
        std::printf("%ld x %ld, tile %d x %d: DrawFrame %.1f ms (%.1f ms without the picture), "
                    "black fill + BitBlt %.1f ms, ratio %.1f\n",
                    screen.cx, screen.cy, tile.cx, tile.cy, frame, fan, bare, frame / bare);
        view.DestroyWindow();
    }
    return 0;
}
