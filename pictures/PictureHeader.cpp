#include "pictures/PictureHeader.h"

#include "pictures/JpegHeader.h"
#include "pictures/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace pictures {

namespace {

// A row of the signature table: the bytes that a file of the format starts
// with, where the mask's byte is 0xFF; the others may be anything.
struct Signature {
    Format format;
    std::string_view pattern;
    std::string_view mask;
};

using namespace std::string_view_literals;

constexpr std::string_view kAll = "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"sv;  // as long as any pattern
constexpr std::string_view kIsoBrand = "\0\0\0\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"sv;  // any box size, "ftyp", brand

constexpr Signature kSignatures[] = {
    {Format::Jpeg, "\xFF\xD8\xFF"sv, kAll},
    {Format::Png, "\x89PNG\r\n\x1A\n"sv, kAll},
    {Format::Gif, "GIF87a"sv, kAll},
    {Format::Gif, "GIF89a"sv, kAll},
    {Format::Bmp, "BM"sv, kAll},
    {Format::Tiff, "II*\0"sv, kAll},
    {Format::Tiff, "MM\0*"sv, kAll},
    {Format::WebP, "RIFF\0\0\0\0WEBPVP"sv, "\xFF\xFF\xFF\xFF\0\0\0\0\xFF\xFF\xFF\xFF\xFF\xFF"sv},
    // HEIF photos (HEVC inside) and AVIF pictures (AV1 inside), by the major
    // brand of the file's type box.
    {Format::Heif, "\0\0\0\0ftypheic"sv, kIsoBrand}, {Format::Heif, "\0\0\0\0ftypheix"sv, kIsoBrand},
    {Format::Heif, "\0\0\0\0ftyphevc"sv, kIsoBrand}, {Format::Heif, "\0\0\0\0ftyphevx"sv, kIsoBrand},
    {Format::Heif, "\0\0\0\0ftypheim"sv, kIsoBrand}, {Format::Heif, "\0\0\0\0ftypheis"sv, kIsoBrand},
    {Format::Heif, "\0\0\0\0ftypmif1"sv, kIsoBrand}, {Format::Heif, "\0\0\0\0ftypmsf1"sv, kIsoBrand},
    {Format::Heif, "\0\0\0\0ftypavif"sv, kIsoBrand}, {Format::Heif, "\0\0\0\0ftypavis"sv, kIsoBrand},
};

bool Matches(const Signature& row, const unsigned char* data, std::size_t size)
{
    if (size < row.pattern.size())
        return false;
    for (std::size_t i = 0; i < row.pattern.size(); ++i)
        if ((data[i] & static_cast<unsigned char>(row.mask[i])) != static_cast<unsigned char>(row.pattern[i]))
            return false;
    return true;
}


bool Has(const unsigned char* data, std::size_t size, std::size_t at, std::string_view text)
{
    return size >= at + text.size() && std::equal(text.begin(), text.end(), data + at, [](char a, unsigned char b) {
               return static_cast<unsigned char>(a) == b;
           });
}

// The image header chunk, first after the signature.
std::optional<PixelSize> PngSize(const unsigned char* data, std::size_t size)
{
    if (!Has(data, size, 12, "IHDR") || size < 24)
        return {};
    const std::uint32_t width = Big32(data + 16), height = Big32(data + 20);
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return {};
    return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

// The logical screen, or the first frame where it is larger (a decoder makes
// room for the frame): after the screen's colour table, blocks of extensions
// (a label, then sub-blocks of a length byte and that many bytes, up to an
// empty one) until the first image descriptor (its place, then its size).
std::optional<PixelSize> GifSize(const unsigned char* data, std::size_t size)
{
    if (size < 13)
        return {};
    std::size_t at = 13 + ((data[10] & 0x80) != 0 ? 3u << ((data[10] & 7) + 1) : 0);
    while (at < size && data[at] == 0x21) {
        at += 2;
        while (at < size && data[at] != 0)
            at += data[at] + 1u;
        ++at;
    }
    if (at + 9 > size || data[at] != 0x2C)
        return {};
    return PixelSize{static_cast<int>(std::max(Little16(data + 6), Little16(data + at + 5))),
                     static_cast<int>(std::max(Little16(data + 8), Little16(data + at + 7)))};
}

}  // namespace

Format SniffFormat(const unsigned char* data, std::size_t size)
{
    for (const Signature& row : kSignatures)
        if (Matches(row, data, size))
            return row.format;
    return Format::None;
}

bool HeaderTellsSize(Format format) { return format == Format::Jpeg || format == Format::Png || format == Format::Gif; }

std::optional<PixelSize> ReadPixelSize(Format format, const unsigned char* data, std::size_t size)
{
    switch (format) {
    case Format::Jpeg:
        if (const std::optional<jpeg::FrameSize> frame = jpeg::ReadFrameSize(data, size))
            return PixelSize{frame->width, frame->height};
        return {};
    case Format::Png:
        return PngSize(data, size);
    case Format::Gif:
        return GifSize(data, size);
    default:
        return {};
    }
}

bool IsDecodable(const PixelSize& size)
{
    return size.width > 0 && size.height > 0 && size.width <= kMaxSide && size.height <= kMaxSide &&
           static_cast<long long>(size.width) * size.height <= kMaxPixels;
}

bool IsPictureName(const std::string& path)
{
    static constexpr std::string_view kExtensions[] = {".jpg", ".jpeg", ".jpe", ".jfif", ".png", ".gif", ".bmp",
                                                       ".tif", ".tiff", ".webp", ".heic", ".heif", ".avif"};
    const std::string::size_type dot = path.find_last_of(".\\/");
    if (dot == std::string::npos || path[dot] != '.')
        return false;
    std::string extension = path.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::find(std::begin(kExtensions), std::end(kExtensions), extension) != std::end(kExtensions);
}

}  // namespace pictures
