// What a picture file is, known by its first bytes, and the size in pixels
// that its header claims, read before anything is decoded: a decoder
// allocates what the header says, and a small file claiming 64250 x 64250
// pixels would take it tens of gigabytes. (Where the decoder reads only the
// header before it is asked for pixels, its own size is the guard.) Every
// offset is checked against the bytes; nothing is allocated.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace pictures {

// The formats that Windows' imaging component decodes, or decodes where its
// codec is installed (WebP, and HEIF with AVIF, both in an ISO media file).
enum class Format { None, Jpeg, Png, Gif, Bmp, Tiff, WebP, Heif };

// Bytes enough to know a format.
inline constexpr std::size_t kHeadBytes = 32;

// The format whose signature the bytes start with; None for anything else
// (scripts, fonts, text, compressed data, a cache's own index).
Format SniffFormat(const unsigned char* data, std::size_t size);

struct PixelSize {
    int width;
    int height;
};

// The size that the header claims, for JPEG from its frame header wherever
// that lies, for PNG from its first bytes, for GIF from its logical screen
// and its first frame (PNG's and GIF's decoders under wine read every pixel
// first); nothing when the bytes end first or break the format's rules, and
// for the other formats.
std::optional<PixelSize> ReadPixelSize(Format format, const unsigned char* data, std::size_t size);
// Whether the format's header tells its size (ReadPixelSize can answer).
bool HeaderTellsSize(Format format);

// The largest picture that is decoded: 16384 pixels on a side and 64
// megapixels in all, 256 MB of decoded pixels, about what a 32-bit process can
// still hold. Ordinary camera and phone photos stay inside.
inline constexpr int kMaxSide = 16384;
inline constexpr long long kMaxPixels = 64LL * 1024 * 1024;

// No picture worth showing comes near this many bytes; a longer file is not
// read at all.
inline constexpr std::size_t kMaxBytes = std::size_t{256} << 20;

// A size that may be handed to the decoder: not empty (a JPEG frame of height
// 0 leaves it to a later marker, which could claim anything), within both
// limits.
bool IsDecodable(const PixelSize& size);

// A picture file by its name, as a folder of pictures holds them: .jpg, .jpeg,
// .jpe, .jfif, .png, .gif, .bmp, .tif, .tiff, .webp, .heic, .heif or .avif, in
// any letter case.
bool IsPictureName(const std::string& path);

}  // namespace pictures
