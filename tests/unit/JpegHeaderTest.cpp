#include "view/JpegHeader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::string;

const Bytes kStart("\xFF\xD8", 2);
const Bytes kApp0("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);

// A frame header of the given kind for height x width, three components.
Bytes Frame(unsigned char kind, int width, int height)
{
    const unsigned char bytes[] = {0xFF, kind, 0x00, 0x11, 0x08,
                                   static_cast<unsigned char>(height >> 8), static_cast<unsigned char>(height),
                                   static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width),
                                   0x03, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
    return Bytes(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

const Bytes kTable("\xFF\xC4\x00\x04\x00\x00", 6);  // DHT, in the SOF range
const Bytes kScan("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);

std::optional<jpeg::FrameSize> Read(const Bytes& bytes)
{
    return jpeg::ReadFrameSize(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

struct ReadCase {
    const char* what;
    Bytes bytes;
    int width;  // 0: no size
    int height;
};

class FrameSizeTest : public testing::TestWithParam<ReadCase> {};

TEST_P(FrameSizeTest, Reads)
{
    const auto size = Read(GetParam().bytes);
    if (GetParam().width == 0) {
        EXPECT_FALSE(size.has_value()) << GetParam().what;
        return;
    }
    ASSERT_TRUE(size.has_value()) << GetParam().what;
    EXPECT_EQ(size->width, GetParam().width) << GetParam().what;
    EXPECT_EQ(size->height, GetParam().height) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Streams, FrameSizeTest, testing::ValuesIn(std::vector<ReadCase>{
    {"baseline", kStart + kApp0 + Frame(0xC0, 640, 480) + kScan, 640, 480},
    {"progressive", kStart + kApp0 + Frame(0xC2, 400, 300), 400, 300},
    {"table first", kStart + kTable + Frame(0xC1, 64250, 64250), 64250, 64250},
    {"fill bytes", kStart + "\xFF" + kApp0 + Frame(0xC0, 3, 2), 3, 2},
    {"restart marker", kStart + Bytes("\xFF\xD0", 2) + Frame(0xC0, 5, 6), 5, 6},
    {"text", "not a picture at all", 0, 0},
    {"empty", "", 0, 0},
    {"start only", kStart, 0, 0},
    {"cut in the header", kStart + kApp0 + Frame(0xC0, 640, 480).substr(0, 8), 0, 0},
    {"cut in a segment", kStart + kApp0.substr(0, 10), 0, 0},
    {"scan before frame", kStart + kScan + Frame(0xC0, 640, 480), 0, 0},
    {"garbage between", kStart + "xx" + Frame(0xC0, 640, 480), 0, 0},
    {"length below two", kStart + Bytes("\xFF\xE1\x00\x01", 4) + Frame(0xC0, 1, 1), 0, 0},
}));

struct LimitCase {
    int width;
    int height;
    bool decodable;
};

class DecodableTest : public testing::TestWithParam<LimitCase> {};

TEST_P(DecodableTest, Limits)
{
    EXPECT_EQ(jpeg::IsDecodable({GetParam().width, GetParam().height}), GetParam().decodable)
        << GetParam().width << " x " << GetParam().height;
}

INSTANTIATE_TEST_SUITE_P(Sizes, DecodableTest, testing::ValuesIn(std::vector<LimitCase>{
    {3120, 4208, true},     // a phone photo, 13 MP
    {8192, 8192, true},     // exactly 64 MP
    {8192, 8193, false},
    {16384, 4096, true},    // the longest side, 64 MP
    {16385, 100, false},
    {100, 16385, false},
    {64250, 64250, false},  // the header that exhausts the decoder
    {22500, 33300, false},
    {0, 100, false},        // a height left to a later marker
    {100, 0, false},
}));

// An IFD entry: tag, type, number of values, the (first) value.
struct Tag {
    unsigned tag;
    unsigned type;
    std::uint32_t count;
    unsigned value;
};

// A TIFF header in either byte order and an IFD0 of the tags at `ifd`; its
// entry count says `claimed` entries, or as many as there are.
Bytes Tiff(bool little, const std::vector<Tag>& tags, std::uint32_t ifd = 8, int claimed = -1)
{
    Bytes b;
    const auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b += static_cast<char>(v >> 8 * (little ? i : bytes - 1 - i));
    };
    b += little ? "II" : "MM";
    put(42, 2);
    put(ifd, 4);
    if (ifd < 64)
        b.resize(ifd, '\0');
    put(claimed < 0 ? tags.size() : claimed, 2);
    for (const Tag& t : tags) {
        put(t.tag, 2);
        put(t.type, 2);
        put(t.count, 4);
        put(t.value, 2);
        put(0, 2);
    }
    put(0, 4);  // no next IFD
    return b;
}

// An APP1 segment with a payload: "Exif" and its TIFF, or anything.
Bytes App1(const Bytes& payload)
{
    const std::size_t length = payload.size() + 2;
    return Bytes("\xFF\xE1", 2) + static_cast<char>(length >> 8) + static_cast<char>(length) + payload;
}
Bytes Exif(const Bytes& tiff) { return App1(Bytes("Exif\0\0", 6) + tiff); }

const Tag kMake{0x010F, 2, 6, 0};
Tag Orientation(unsigned value) { return {0x0112, 3, 1, value}; }

struct OrientationCase {
    const char* what;
    Bytes bytes;
    int orientation;
};

class OrientationTest : public testing::TestWithParam<OrientationCase> {};

TEST_P(OrientationTest, Reads)
{
    const Bytes& b = GetParam().bytes;
    EXPECT_EQ(jpeg::ReadOrientation(reinterpret_cast<const unsigned char*>(b.data()), b.size()),
              GetParam().orientation) << GetParam().what;
}

const Bytes kPicture = Frame(0xC0, 640, 480) + kScan;

INSTANTIATE_TEST_SUITE_P(Streams, OrientationTest, testing::ValuesIn(std::vector<OrientationCase>{
    {"big-endian", kStart + Exif(Tiff(false, {kMake, Orientation(6)})) + kPicture, 6},
    {"little-endian", kStart + kApp0 + Exif(Tiff(true, {Orientation(8), kMake})) + kPicture, 8},
    {"each value", kStart + Exif(Tiff(true, {Orientation(3)})), 3},
    {"after XMP", kStart + App1("http://ns.adobe.com/xap/1.0/") + Exif(Tiff(false, {Orientation(5)})), 5},
    {"IFD further on", kStart + Exif(Tiff(true, {Orientation(2)}, 20)), 2},
    {"no EXIF", kStart + kApp0 + kPicture, 1},
    {"tag absent", kStart + Exif(Tiff(true, {kMake})), 1},
    {"value 0", kStart + Exif(Tiff(true, {Orientation(0)})), 1},
    {"value 9", kStart + Exif(Tiff(false, {Orientation(9)})), 1},
    {"a LONG", kStart + Exif(Tiff(false, {{0x0112, 4, 1, 0}}).replace(18, 4, Bytes("\0\0\0\x07", 4))), 7},
    {"a signed LONG, as a Panasonic writes it", kStart + Exif(Tiff(true, {{0x0112, 9, 1, 6}})), 6},
    {"a huge LONG", kStart + Exif(Tiff(true, {{0x0112, 4, 1, 6}}).replace(20, 2, "\x01\x00")), 1},
    {"a RATIONAL", kStart + Exif(Tiff(true, {{0x0112, 5, 1, 6}})), 1},
    {"value count overflows", kStart + Exif(Tiff(true, {{0x0112, 3, 0xFFFFFFFF, 6}})), 1},
    {"wrong byte-order mark", kStart + Exif("IM" + Tiff(true, {Orientation(6)}).substr(2)), 1},
    {"not 42", kStart + Exif(Tiff(true, {Orientation(6)}).replace(2, 1, "\x2B")), 1},
    {"IFD past the end", kStart + Exif(Tiff(true, {Orientation(6)}, 0xFFFFFFF0)), 1},
    {"IFD at the last byte", kStart + Exif(Tiff(true, {}, 17).substr(0, 18)), 1},
    {"entry count beyond the segment", kStart + Exif(Tiff(true, {Orientation(6)}, 8, 0xFFFF)), 6},
    {"tag beyond the segment", kStart + Exif(Tiff(true, {kMake, Orientation(6)}).substr(0, 33)), 1},
    {"TIFF header cut", kStart + Exif("II*"), 1},
    {"file cut in the entry", (kStart + Exif(Tiff(true, {Orientation(6)}))).substr(0, 30), 1},
    {"after the scan", kStart + kScan + Exif(Tiff(true, {Orientation(6)})), 1},
    {"text", Bytes("Exif\0\0II*\0", 10), 1},
    {"empty", "", 1},
}));

}  // namespace
