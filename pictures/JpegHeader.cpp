#include "pictures/JpegHeader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace jpeg {

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kStartOfScan = 0xDA;
constexpr unsigned char kApp1 = 0xE1;
constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kShort = 3;
constexpr unsigned kLong = 4;
constexpr unsigned kSignedLong = 9;

int Word(const unsigned char* p) { return p[0] << 8 | p[1]; }

// SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC), which share the range.
bool IsFrameHeader(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length: TEM and RST0..RST7.
bool HasNoLength(unsigned char marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

// A segment's marker and the bytes after its length field: as many as its
// length claims, or fewer where the data ends first.
struct Segment {
    unsigned char marker;
    const unsigned char* bytes;
    std::size_t length;
};

// Hands the segments before the scan to `visit` until it answers true; false
// when the bytes do not start a JPEG, or end or break off before that.
template <class Visit>
bool WalkSegments(const unsigned char* data, std::size_t size, Visit visit)
{
    if (data == nullptr || size < 2 || data[0] != kMarker || data[1] != kStartOfImage)
        return false;
    std::size_t at = 2;
    for (;;) {
        // A marker: one or more 0xFF fill bytes, then its code.
        if (at >= size || data[at] != kMarker)
            return false;
        while (at < size && data[at] == kMarker)
            ++at;
        if (at >= size)
            return false;
        const unsigned char marker = data[at++];
        if (HasNoLength(marker))
            continue;
        if (marker == kStartOfScan || at + 2 > size)
            return false;  // entropy-coded data follows, or the length is cut off
        const std::size_t length = static_cast<std::size_t>(Word(data + at));
        if (length < 2)
            return false;
        if (visit(Segment{marker, data + at + 2, std::min(length, size - at) - 2}))
            return true;
        at += length;
    }
}

// The orientation in a TIFF header and its IFD0, `size` bytes.
int TiffOrientation(const unsigned char* tiff, std::size_t size)
{
    if (size < 8)
        return 1;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    const auto u16 = [&](std::size_t at) -> unsigned {
        return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
    };
    const auto u32 = [&](std::size_t at) -> std::uint32_t { return little ? u16(at) | std::uint32_t{u16(at + 2)} << 16
                                                                          : std::uint32_t{u16(at)} << 16 | u16(at + 2); };
    if (u16(2) != 42)
        return 1;
    const std::uint32_t ifd = u32(4);
    if (ifd > size - 2)
        return 1;
    // Entries are 12 bytes; only those that the segment holds are read.
    const std::size_t count = std::min<std::size_t>(u16(ifd), (size - ifd - 2) / 12);
    for (std::size_t entry = ifd + 2; entry < ifd + 2 + 12 * count; entry += 12) {
        if (u16(entry) != kOrientationTag)
            continue;
        // One number held in the entry itself: a SHORT, or the LONG or
        // signed LONG that some cameras write.
        const unsigned type = u16(entry + 2);
        if (u32(entry + 4) != 1 || (type != kShort && type != kLong && type != kSignedLong))
            return 1;
        const std::uint32_t value = type == kShort ? u16(entry + 8) : u32(entry + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

}  // namespace

std::optional<FrameSize> ReadFrameSize(const unsigned char* data, std::size_t size)
{
    std::optional<FrameSize> frame;
    WalkSegments(data, size, [&](const Segment& segment) {
        if (!IsFrameHeader(segment.marker))
            return false;
        // Precision, then the number of lines and of samples per line.
        if (segment.length >= 5)
            frame = FrameSize{Word(segment.bytes + 3), Word(segment.bytes + 1)};
        return true;
    });
    return frame;
}

int ReadOrientation(const unsigned char* data, std::size_t size)
{
    static constexpr unsigned char kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    int orientation = 1;
    WalkSegments(data, size, [&](const Segment& segment) {
        if (segment.marker != kApp1 || segment.length < sizeof kExif ||
            std::memcmp(segment.bytes, kExif, sizeof kExif) != 0)
            return false;
        orientation = TiffOrientation(segment.bytes + sizeof kExif, segment.length - sizeof kExif);
        return true;
    });
    return orientation;
}

}  // namespace jpeg
