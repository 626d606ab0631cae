#include "pictures/PictureHeader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pictures::Format;
using Bytes = std::string;

Bytes B(const char* bytes, size_t size) { return Bytes(bytes, size - 1); }  // a literal with its NULs
#define RAW(literal) B(literal, sizeof literal)

Bytes Png(const Bytes& width, const Bytes& height) { return RAW("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR") + width + height; }
const Bytes kJpeg = RAW("\xFF\xD8\xFF\xC0\0\x11\x08\x01\xE0\x02\x80\x03");  // a frame header of 640 x 480

// From a file's first bytes to its format and to the size its header claims
// (0 x 0: none), and whether that may be handed to the decoder: at most 16,384
// pixels a side and 64 megapixels, and nothing empty.
TEST(PictureHeaderTest, FormatAndClaimedSize)
{
    const struct {
        const char* what;
        Bytes bytes;
        Format format;
        int width, height;
        bool decodable;
    } cases[] = {
        {"JPEG", kJpeg, Format::Jpeg, 640, 480, true},
        {"PNG", Png(RAW("\0\0\x01\x2C"), RAW("\0\0\0\xC8")), Format::Png, 300, 200, true},
        {"PNG, 100000 a side", Png(RAW("\0\x01\x86\xA0"), RAW("\0\x01\x86\xA0")), Format::Png, 100000, 100000, false},
        {"PNG at the limits", Png(RAW("\0\0\x40\0"), RAW("\0\0\x10\0")), Format::Png, 16384, 4096, true},
        {"PNG of 64 megapixels and a row", Png(RAW("\0\0\x20\0"), RAW("\0\0\x20\x01")), Format::Png, 8192, 8193, false},
        {"PNG past a side", Png(RAW("\0\0\x40\x01"), RAW("\0\0\0\x01")), Format::Png, 16385, 1, false},
        {"GIF of no width", RAW("GIF89a\0\0\x0B\x01\0\0\0,\0\0\0\0\0\0\x0B\x01\0"), Format::Gif, 0, 267, false},
        {"PNG past 31 bits", Png(RAW("\x80\0\0\x01"), RAW("\0\0\0\x01")), Format::Png, 0, 0, false},
        {"PNG cut in its height", Png(RAW("\0\0\x01\x2C"), RAW("\0\0")), Format::Png, 0, 0, false},
        {"GIF87a", RAW("GIF87a\x90\x01\x0B\x01\x80\0\0rgbRGB,\0\0\0\0\x90\x01\x0B\x01\0"), Format::Gif, 400, 267, true},
        {"GIF89a, a frame larger than its screen after an extension",
         RAW("GIF89a\x01\0\x01\0\0\0\0!\xF9\x04\0\0\0\0\0,\0\0\0\0\x80>\x80>\0"), Format::Gif, 16000, 16000, false},
        {"GIF89a, cut in its frame", RAW("GIF89a\x01\0\x01\0\0\0\0,\0\0\0\0\x80\x3E"), Format::Gif, 0, 0, false},
        {"BMP", RAW("BM\x36\0\0\0"), Format::Bmp, 0, 0, false},
        {"TIFF", RAW("II*\0\x08\0\0\0"), Format::Tiff, 0, 0, false},
        {"WebP", RAW("RIFF\x40\0\0\0WEBPVP8L"), Format::WebP, 0, 0, false},
        {"RIFF of a sound", RAW("RIFF\x40\0\0\0WAVEfmt "), Format::None, 0, 0, false},
        {"HEIC photo", RAW("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic"), Format::Heif, 0, 0, false},
        {"AVIF picture", RAW("\0\0\0\x1C" "ftypavif\0\0\0\0avifmif1"), Format::Heif, 0, 0, false},
        {"MP4 video", RAW("\0\0\0\x18" "ftypisom\0\0\0\0isomiso2"), Format::None, 0, 0, false},
        {"script", "function f() { return 1; }", Format::None, 0, 0, false},
        {"cut in the signature", RAW("\x89PNG"), Format::None, 0, 0, false},
        {"empty", "", Format::None, 0, 0, false},
    };
    for (const auto& c : cases) {
        const auto* data = reinterpret_cast<const unsigned char*>(c.bytes.data());
        const Format format = pictures::SniffFormat(data, c.bytes.size());
        EXPECT_EQ(format, c.format) << c.what;
        const std::optional<pictures::PixelSize> size = pictures::ReadPixelSize(format, data, c.bytes.size());
        EXPECT_TRUE(size ? size->width == c.width && size->height == c.height : c.width == 0) << c.what;
        EXPECT_EQ(size && pictures::IsDecodable(*size), c.decodable) << c.what;
    }
}

}  // namespace
