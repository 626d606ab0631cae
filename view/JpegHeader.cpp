#include "view/JpegHeader.h"

namespace jpeg {

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kStartOfScan = 0xDA;

int Word(const unsigned char* p) { return p[0] << 8 | p[1]; }

// SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC), which share the range.
bool IsFrameHeader(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length: TEM and RST0..RST7.
bool HasNoLength(unsigned char marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

}  // namespace

std::optional<FrameSize> ReadFrameSize(const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size < 2 || data[0] != kMarker || data[1] != kStartOfImage)
        return std::nullopt;
    std::size_t at = 2;
    for (;;) {
        // A marker: one or more 0xFF fill bytes, then its code.
        if (at >= size || data[at] != kMarker)
            return std::nullopt;
        while (at < size && data[at] == kMarker)
            ++at;
        if (at >= size)
            return std::nullopt;
        const unsigned char marker = data[at++];
        if (HasNoLength(marker))
            continue;
        if (marker == kStartOfScan || at + 2 > size)
            return std::nullopt;  // entropy-coded data follows: no frame header came first
        const std::size_t length = static_cast<std::size_t>(Word(data + at));
        if (length < 2)
            return std::nullopt;
        if (IsFrameHeader(marker)) {
            // Length, precision, then the number of lines and of samples per line.
            if (length < 7 || at + 7 > size)
                return std::nullopt;
            return FrameSize{Word(data + at + 5), Word(data + at + 3)};
        }
        at += length;
    }
}

bool IsDecodable(const FrameSize& frame)
{
    return frame.width > 0 && frame.height > 0 && frame.width <= kMaxSide && frame.height <= kMaxSide &&
           static_cast<long long>(frame.width) * frame.height <= kMaxPixels;
}

}  // namespace jpeg
