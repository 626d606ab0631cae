// One decoded picture: decodes a JPEG file through the platform's OLE picture
// service, tells its natural size in device pixels and draws it stretched into
// a rectangle, upright as the camera's EXIF orientation says.
#pragma once

#include "fw/File.h"
#include "fw/Gdi.h"
#include "view/Resample.h"

#include <ocidl.h>
#include <olectl.h>

class CPicture {
public:
    CPicture() = default;
    ~CPicture() { Free(); }
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // TRUE when a picture was decoded. A file that cannot be opened keeps the
    // picture held; one that opens drops it, and a picture whose frame header
    // claims more than the decoder can hold is refused before decoding.
    BOOL Load(const char* path);

    // The natural size of the upright picture in the pixels of a device
    // context, the screen's when none is given; (0, 0) with no picture.
    SIZE GetSize(CDC* pDC = nullptr) const;

    // Stretches the whole picture, upright, into the rectangle; all zero means
    // its natural size at the origin. FALSE, drawing nothing, with no picture.
    // The tile keeps its size from frame to frame, so the picture is resampled
    // once from its decoded pixels into a copy of that size, which later calls
    // only copy.
    BOOL Render(CDC* pDC, RECT rc = RECT{}, const RECT* pBounds = nullptr);

    void Free();

private:
    // The open file, checked and put into a memory stream; the stream, decoded
    // as it is (so only checked bytes may reach it).
    BOOL Load(CFile& file);
    BOOL Load(IStream* pStream);

    SIZE GetHimetricSize() const;
    // The platform's own drawing, as stored, where the pixels cannot be read:
    // halftone, which averages what it drops.
    void RenderStretched(HDC hDC, const RECT& rc, const RECT* pBounds) const;
    // The decoded bitmap's pixels resampled, upright, to a size; false when
    // they cannot be read (not a bitmap, or no memory).
    bool Resampled(const CDC& target, SIZE size, resample::Pixel* out) const;
    // A copy at a size in a target's format, made when none fits.
    BOOL PrepareScaled(const CDC& target, SIZE size);

    IPicture* m_pPicture = nullptr;
    resample::Orientation m_orientation{};
    CBitmap m_scaled;
    SIZE m_scaledSize{};
    int m_nScaledBits = 0;
};
