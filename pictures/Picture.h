// One picture, decoded by the system's imaging component (WIC) from any file
// for which Windows has a decoder, upright as the camera's EXIF orientation
// says, and kept at the size it is shown at; drawn into a rectangle of a
// device context. Loading makes no window-system object, so the decoding
// thread loads pictures that the window then draws.
#pragma once

#include "fw/Gdi.h"
#include "pictures/Resample.h"

#include <functional>
#include <vector>

class CPicture {
public:
    // The size to keep a picture at, given its natural size, upright.
    using Fit = std::function<SIZE(SIZE natural)>;
    using Bytes = std::vector<unsigned char>;

    CPicture() = default;
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // TRUE when a picture was decoded: it is kept resampled to the size that
    // `fit` gives, its natural size without one. A file that cannot be opened
    // keeps the picture held; one that opens drops it. Only the first bytes
    // of a file that is no picture are read, and a picture whose header claims
    // more than can be held is refused before any pixel is decoded. COM must
    // be initialised on the calling thread.
    BOOL Load(const char* path, const Fit& fit = nullptr);
    // The same from a file's bytes; whatever was held is dropped. A picture
    // under `leastSide` pixels on its shorter side is refused before any
    // pixel is decoded.
    BOOL Load(const Bytes& bytes, const Fit& fit = nullptr, int leastSide = 0);

    // The natural size of the upright picture in pixels; (0, 0) with no
    // picture.
    SIZE GetSize() const { return m_size; }

    // Draws the whole picture, upright, into the rectangle; all zero means its
    // natural size at the origin. FALSE, drawing nothing, with no picture. A
    // rectangle of another size than the kept one is drawn from a copy
    // resampled once from the kept pixels.
    BOOL Render(CDC* pDC, RECT rc = RECT{});

    void Free();

private:
    // Decodes the bytes of a file of a format, kept at the size of `fit`.
    BOOL Decode(const Bytes& bytes, int orientation, const Fit& fit, int leastSide);

    SIZE m_size{};
    std::vector<resample::Pixel> m_pixels;  // kept, rows from the top
    SIZE m_kept{};
    std::vector<resample::Pixel> m_drawn;  // the copy at another size
    SIZE m_drawnSize{};
};
