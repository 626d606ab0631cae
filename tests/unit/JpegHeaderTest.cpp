#include "pictures/JpegHeader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::string;

const Bytes kStart("\xFF\xD8", 2);
const Bytes kApp0("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);
const Bytes kTable("\xFF\xC4\x00\x04\x00\x00", 6);  // DHT, in the SOF range
const Bytes kScan("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);

// A frame header of the given kind for width x height, three components.
Bytes Frame(char kind, int width, int height)
{
    return Bytes{'\xFF', kind, 0, 0x11, 8, char(height >> 8), char(height), char(width >> 8), char(width), 3} +
           Bytes("\x01\x22\0\x02\x11\x01\x03\x11\x01", 9);
}

// An APP1 "Exif" segment around a TIFF header and IFD0 (written out below:
// byte order, 42, IFD0's offset, its entry count, then entries of tag, type,
// count and value).
Bytes Exif(const Bytes& tiff)
{
    const Bytes payload = Bytes("Exif\0\0", 6) + tiff;
    return Bytes{'\xFF', '\xE1', char((payload.size() + 2) >> 8), char(payload.size() + 2)} + payload;
}
Bytes B(const char* bytes, size_t size) { return Bytes(bytes, size - 1); }  // a literal with its NULs
#define TIFF(literal) B(literal, sizeof literal)

// Little-endian IFD0 at 8 of one entry: 0x0112, a SHORT, one, 6; big-endian, Make then 0x0112 = 8.
const Bytes kSix = TIFF("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0");
const Bytes kEight = TIFF("MM\0*\0\0\0\x08\0\x02\x01\x0F\0\x02\0\0\0\x04" "CANO\x01\x12\0\x03\0\0\0\x01\0\x08\0\0");

const Bytes kPicture = Frame('\xC0', 640, 480) + kScan;

struct HeaderCase {
    const char* what;
    Bytes bytes;
    int width, height;  // 0 x 0: no frame size
    int orientation;
};

TEST(JpegHeaderTest, FrameSizeAndOrientation)
{
    const HeaderCase cases[] = {
        {"baseline", kStart + kApp0 + kPicture, 640, 480, 1},
        {"progressive after a table", kStart + kTable + Frame('\xC2', 64250, 64250), 64250, 64250, 1},
        {"fill bytes, restart marker", kStart + "\xFF" + kApp0 + Bytes("\xFF\xD0", 2) + Frame('\xC1', 3, 2), 3, 2, 1},
        {"text", "not a picture at all", 0, 0, 1},
        {"cut in the frame header", kStart + kApp0 + kPicture.substr(0, 8), 0, 0, 1},
        {"cut right after the width", kStart + kApp0 + kPicture.substr(0, 9), 640, 480, 1},
        {"cut after a marker", kStart + "\xFF\xE0", 0, 0, 1},
        {"scan before frame", kStart + kScan + Exif(kSix) + kPicture, 0, 0, 1},
        {"garbage between", kStart + "xx" + Exif(kSix) + kPicture, 0, 0, 1},
        {"length below two", kStart + Bytes("\xFF\xE1\x00\x01", 4) + kPicture, 0, 0, 1},
        // The orientation from IFD0 of the first "Exif" APP1 segment.
        {"little-endian, after XMP", kStart + B("\xFF\xE1\0\x06http", 9) + Exif(kSix) + kPicture, 640, 480, 6},
        {"big-endian, after another tag", kStart + Exif(kEight) + kPicture, 640, 480, 8},
        {"IFD further on", kStart + Exif(TIFF("II*\0\x0A\0\0\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x02\0\0\0")), 0, 0, 2},
        {"a LONG", kStart + Exif(TIFF("MM\0*\0\0\0\x08\0\x01\x01\x12\0\x04\0\0\0\x01\0\0\0\x07")), 0, 0, 7},
        {"a signed LONG, as a Panasonic writes it",
         kStart + Exif(TIFF("II*\0\x08\0\0\0\x01\0\x12\x01\x09\0\x01\0\0\0\x05\0\0\0")), 0, 0, 5},
        {"a huge LONG", kStart + Exif(TIFF("II*\0\x08\0\0\0\x01\0\x12\x01\x04\0\x01\0\0\0\x06\0\x01\0")), 0, 0, 1},
        {"a RATIONAL", kStart + Exif(TIFF("II*\0\x08\0\0\0\x01\0\x12\x01\x05\0\x01\0\0\0\x06\0\0\0")), 0, 0, 1},
        {"value count overflows", kStart + Exif(TIFF("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\xFF\xFF\xFF\xFF\x06\0\0\0")),
         0, 0, 1},
        {"tag absent", kStart + Exif(TIFF("II*\0\x08\0\0\0\x01\0\x11\x01\x03\0\x01\0\0\0\x06\0\0\0")), 0, 0, 1},
        {"value 9", kStart + Exif(TIFF("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x09\0\0\0")), 0, 0, 1},
        {"wrong byte-order mark", kStart + Exif("IM" + kSix.substr(2)), 0, 0, 1},
        {"not 42", kStart + Exif(Bytes(kSix).replace(2, 1, "+")), 0, 0, 1},
        {"IFD past the end", kStart + Exif(Bytes(kSix).replace(4, 4, "\xF0\xFF\xFF\xFF")), 0, 0, 1},
        {"IFD at the last byte", kStart + Exif(TIFF("II*\0\x09\0\0\0\x01\0")), 0, 0, 1},
        {"entry count beyond the segment", kStart + Exif(Bytes(kSix).replace(8, 2, "\xFF\xFF")), 0, 0, 6},
        {"entry cut by the segment's end", kStart + Exif(kEight.substr(0, 33)), 0, 0, 1},
        {"file cut in the entry", kStart + Exif(kSix).substr(0, 28), 0, 0, 1},
    };
    for (const HeaderCase& c : cases) {
        const auto* data = reinterpret_cast<const unsigned char*>(c.bytes.data());
        const std::optional<jpeg::FrameSize> frame = jpeg::ReadFrameSize(data, c.bytes.size());
        EXPECT_TRUE(frame ? frame->width == c.width && frame->height == c.height : c.width == 0) << c.what;
        EXPECT_EQ(jpeg::ReadOrientation(data, c.bytes.size()), c.orientation) << c.what;
    }
}

}  // namespace
