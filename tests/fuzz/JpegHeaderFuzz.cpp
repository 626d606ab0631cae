// Random bytes against the JPEG header readers: whatever the file, no read
// outside it, an orientation from 1 to 8, and answers that the file's own
// bytes decide: with its last byte cut off, a file tells the same frame size
// and orientation, or none.
#include "view/JpegHeader.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

static void Check(bool condition)
{
    if (!condition)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<jpeg::FrameSize> frame = jpeg::ReadFrameSize(data, size);
    const int orientation = jpeg::ReadOrientation(data, size);
    Check(orientation >= 1 && orientation <= 8);
    if (size == 0)
        return 0;
    // A buffer of its own, so that a read past the shorter end is caught.
    const std::vector<std::uint8_t> cut(data, data + size - 1);
    const std::optional<jpeg::FrameSize> cutFrame = jpeg::ReadFrameSize(cut.data(), cut.size());
    Check(!cutFrame || (frame && cutFrame->width == frame->width && cutFrame->height == frame->height));
    const int cutOrientation = jpeg::ReadOrientation(cut.data(), cut.size());
    Check(cutOrientation == 1 || cutOrientation == orientation);
    return 0;
}
