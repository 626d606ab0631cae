// The tile's copy of a picture, made by the program itself from the decoded
// pixels: each axis shrunk by area averaging or enlarged by interpolation
// between pixel centres, and the camera's orientation applied in the same
// pass. Plain C++ over rows of 32-bit pixels (blue, green, red, unused, as
// 32-bit device-independent bitmaps hold them); the window side reads the
// rows from the decoded bitmap.
#pragma once

#include <cstdint>
#include <functional>

namespace resample {

using Pixel = std::uint32_t;

// One of the eight symmetries of a rectangle: the stored picture mirrored
// across, mirrored top to bottom, then its axes swapped.
struct Orientation {
    bool mirrorX;
    bool mirrorY;
    bool swapAxes;
};

// The symmetry that brings a picture stored with an EXIF orientation (1 to 8)
// upright; any other value leaves it as stored.
Orientation FromExif(int value);

// Fills `rows` with `count` rows of the stored picture from row `top` down,
// each of the picture's width; false when they cannot be read.
using ReadRows = std::function<bool(int top, int count, Pixel* rows)>;

// Resamples a stored picture of width x height, read a band of rows at a
// time, into `out`: the upright picture at outWidth x outHeight, rows from
// the top. Two buffers are held meanwhile, one band and the rows of the
// picture already brought to their new width. False, with `out` undefined,
// when a size is not positive, there is no memory or a band cannot be read.
bool Resample(int width, int height, const ReadRows& read, Orientation orientation, int outWidth, int outHeight,
              Pixel* out);

}  // namespace resample
