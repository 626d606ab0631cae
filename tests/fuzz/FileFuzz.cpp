// Random bytes against the readers of files that anyone can make, picture
// headers and settings files: whatever the file, no read outside it, an
// orientation from 1 to 8, and answers that the file's own bytes decide: its
// format is that of its first bytes, and with its last byte cut off it tells
// the same size and orientation, or none; a value found is one of its lines'.
#include "fw/ProfileText.h"
#include "pictures/JpegHeader.h"
#include "pictures/PictureHeader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

static void Check(bool condition)
{
    if (!condition)
        std::abort();
}

using Size = std::optional<pictures::PixelSize>;

static bool Same(const Size& a, const Size& b) { return a && b && a->width == b->width && a->height == b->height; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const pictures::Format format = pictures::SniffFormat(data, size);
    const Size claimed = pictures::ReadPixelSize(format, data, size);
    const int orientation = jpeg::ReadOrientation(data, size);
    Check(orientation >= 1 && orientation <= 8);
    if (size == 0)
        return 0;
    // Buffers of their own, so that a read past the shorter end is caught.
    const std::vector<std::uint8_t> head(data, data + std::min(size, pictures::kHeadBytes));
    Check(pictures::SniffFormat(head.data(), head.size()) == format);
    const std::vector<std::uint8_t> cut(data, data + size - 1);
    const Size cutClaim = pictures::ReadPixelSize(format, cut.data(), cut.size());
    Check(!cutClaim || Same(cutClaim, claimed));
    const int cutOrientation = jpeg::ReadOrientation(cut.data(), cut.size());
    Check(cutOrientation == 1 || cutOrientation == orientation);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> value = FindProfileText(text, "Config", "Folder");
    Check(!value || (text.find(*value) != std::string_view::npos && value->find('\n') == std::string::npos));
    IsUtf8(text);
    return 0;
}
