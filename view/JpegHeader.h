// The frame size that a JPEG file claims, read from its frame header before
// anything is decoded: the decoder allocates what the header says, and a small
// file claiming 64250 x 64250 pixels would take it tens of gigabytes.
#pragma once

#include <cstddef>
#include <optional>

namespace jpeg {

struct FrameSize {
    int width;
    int height;
};

// The largest picture that is decoded: 16384 pixels on a side and 64
// megapixels in all, 256 MB of decoded pixels, about what a 32-bit process can
// still hold. Ordinary camera and phone photos stay inside.
inline constexpr int kMaxSide = 16384;
inline constexpr long long kMaxPixels = 64LL * 1024 * 1024;

// The size in the first frame header (SOF0..SOF15) of a JPEG stream; nothing
// when the bytes do not start a JPEG or end before its frame header.
std::optional<FrameSize> ReadFrameSize(const unsigned char* data, std::size_t size);

// A size that may be handed to the decoder: not empty, within both limits. (A
// height of 0 leaves it to a later marker, which could claim anything.)
bool IsDecodable(const FrameSize& frame);

}  // namespace jpeg
