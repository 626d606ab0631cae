// What a JPEG file's headers claim, read before anything is decoded: the frame
// size (the decoder allocates what the header says, and a small file claiming
// 64250 x 64250 pixels would take it tens of gigabytes) and the camera's
// orientation from the EXIF block. Every offset and count is checked against
// the bytes; nothing is allocated.
#pragma once

#include <cstddef>
#include <optional>

namespace jpeg {

struct FrameSize {
    int width;
    int height;
};

// The size in the first frame header (SOF0..SOF15) of a JPEG stream; nothing
// when the bytes do not start a JPEG or end before its frame header.
std::optional<FrameSize> ReadFrameSize(const unsigned char* data, std::size_t size);

// The EXIF orientation (1 to 8: how the stored picture is turned or mirrored)
// from the first APP1 "Exif" segment before the scan: tag 0x0112 of IFD0, one
// SHORT (or LONG, as some cameras write it), in either byte order. 1, "as stored", when the segment or the tag is
// absent, unreadable or out of range; no further IFD is followed.
int ReadOrientation(const unsigned char* data, std::size_t size);

}  // namespace jpeg
