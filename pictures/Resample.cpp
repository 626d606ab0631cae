#include "pictures/Resample.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

namespace resample {

namespace {

// Weights are fixed-point fractions of kOne.
constexpr int kFractionBits = 14;
constexpr int kOne = 1 << kFractionBits;

// About a megabyte of rows is read at a time.
constexpr int kBandPixels = 1 << 18;

// What falls under each new pixel along one axis: `count` old pixels from
// `first`, with weights that sum to exactly kOne, so that a solid colour
// stays exact.
struct Axis {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> weights;  // `stride` for each new pixel
    int stride = 0;
};

// Shrinking (or keeping the size): each new pixel is the area average of the
// old ones that it covers, a pixel partly covered counting with that part.
// Lengths are counted in units of 1 / (from x to) of the axis: old pixel j
// spans [j x to, (j + 1) x to) and new pixel i spans [i x from, (i + 1) x from).
// Each weight is the step between the rounded shares of the new pixel covered
// up to the old pixel's two ends, so none is negative and they sum to kOne.
void WeighArea(Axis& axis, int from, int to)
{
    axis.stride = from / to + 2;
    axis.weights.assign(static_cast<std::size_t>(to) * axis.stride, 0);
    for (int i = 0; i < to; ++i) {
        const long long left = static_cast<long long>(i) * from;
        const long long right = left + from;
        const int first = static_cast<int>(left / to);
        const int end = static_cast<int>((right + to - 1) / to);
        const auto share = [&](long long at) {
            return static_cast<int>(((std::clamp(at, left, right) - left) * kOne + from / 2) / from);
        };
        int* weights = &axis.weights[static_cast<std::size_t>(i) * axis.stride];
        for (int j = first; j < end; ++j)
            weights[j - first] = share((j + 1LL) * to) - share(static_cast<long long>(j) * to);
        axis.first[i] = first;
        axis.count[i] = end - first;
    }
}

// Enlarging: interpolation between the two old pixel centres on either side
// of the new pixel's centre; beyond the outer centres the edge pixel holds.
// New pixel i's centre lies at ((2i + 1) x from - to) / (2 x to) in old pixels.
void WeighLinear(Axis& axis, int from, int to)
{
    axis.stride = 2;
    axis.weights.assign(static_cast<std::size_t>(to) * 2, 0);
    const long long unit = 2LL * to;
    for (int i = 0; i < to; ++i) {
        const long long centre = (2LL * i + 1) * from - to;
        int* weights = &axis.weights[static_cast<std::size_t>(i) * 2];
        const long long below = centre < 0 ? -1 : centre / unit;
        if (below < 0 || below >= from - 1) {
            axis.first[i] = below < 0 ? 0 : from - 1;
            axis.count[i] = 1;
            weights[0] = kOne;
            continue;
        }
        weights[1] = static_cast<int>((centre % unit * kOne + unit / 2) / unit);
        weights[0] = kOne - weights[1];
        axis.first[i] = static_cast<int>(below);
        axis.count[i] = 2;
    }
}

Axis Weigh(int from, int to)
{
    Axis axis;
    axis.first.resize(static_cast<std::size_t>(to));
    axis.count.resize(static_cast<std::size_t>(to));
    if (from >= to)
        WeighArea(axis, from, to);
    else
        WeighLinear(axis, from, to);
    return axis;
}

// Sums of the four 8-bit channels of weighted pixels.
struct Sum {
    int c[4] = {};

    void Add(Pixel p, int weight)
    {
        for (int k = 0; k < 4; ++k)
            c[k] += static_cast<int>(p >> (8 * k) & 0xFF) * weight;
    }
    Pixel Get() const
    {
        Pixel p = 0;
        for (int k = 0; k < 4; ++k)
            p |= static_cast<Pixel>((c[k] + kOne / 2) >> kFractionBits) << (8 * k);
        return p;
    }
};

// One row brought to the new width.
void ResampleRow(const Axis& across, const Pixel* in, Pixel* out, int outWidth)
{
    for (int x = 0; x < outWidth; ++x) {
        const Pixel* from = in + across.first[x];
        const int* weights = &across.weights[static_cast<std::size_t>(x) * across.stride];
        Sum sum;
        for (int k = 0; k < across.count[x]; ++k)
            sum.Add(from[k], weights[k]);
        out[x] = sum.Get();
    }
}

}  // namespace

Orientation FromExif(int value)
{
    // Rows 1 to 8: the tag's meaning is where the stored picture's first row
    // and first column belong (top-left, top-right, bottom-right, ...).
    static constexpr Orientation kTable[] = {
        {false, false, false}, {true, false, false}, {true, true, false},  {false, true, false},
        {false, false, true},  {false, true, true},  {true, true, true},   {true, false, true},
    };
    return value >= 1 && value <= 8 ? kTable[value - 1] : kTable[0];
}

bool Resample(int width, int height, const ReadRows& read, Orientation orientation, int outWidth, int outHeight,
              Pixel* out)
{
    if (width <= 0 || height <= 0 || outWidth <= 0 || outHeight <= 0)
        return false;
    // The new size along the stored picture's own axes.
    const int across = orientation.swapAxes ? outHeight : outWidth;
    const int down = orientation.swapAxes ? outWidth : outHeight;
    try {
        const Axis columns = Weigh(width, across);
        const Axis rows = Weigh(height, down);
        const int bandRows = std::clamp(kBandPixels / width, 1, height);
        std::vector<Pixel> band(static_cast<std::size_t>(bandRows) * width);
        std::vector<Pixel> narrow(static_cast<std::size_t>(height) * across);
        for (int top = 0; top < height; top += bandRows) {
            const int count = std::min(bandRows, height - top);
            if (!read(top, count, band.data()))
                return false;
            for (int r = 0; r < count; ++r)
                ResampleRow(columns, &band[static_cast<std::size_t>(r) * width],
                            &narrow[static_cast<std::size_t>(top + r) * across], across);
        }
        band = std::vector<Pixel>();

        // Down the columns, each new pixel put where the orientation takes it.
        for (int y = 0; y < down; ++y) {
            const int* weights = &rows.weights[static_cast<std::size_t>(y) * rows.stride];
            const int v = orientation.mirrorY ? down - 1 - y : y;
            for (int x = 0; x < across; ++x) {
                const Pixel* from = &narrow[static_cast<std::size_t>(rows.first[y]) * across + x];
                Sum sum;
                for (int k = 0; k < rows.count[y]; ++k)
                    sum.Add(from[static_cast<std::size_t>(k) * across], weights[k]);
                const int u = orientation.mirrorX ? across - 1 - x : x;
                const std::size_t at = orientation.swapAxes ? static_cast<std::size_t>(u) * outWidth + v
                                                            : static_cast<std::size_t>(v) * outWidth + u;
                out[at] = sum.Get();
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace resample
