#include "view/JpegHeader.h"

#include <gtest/gtest.h>

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

}  // namespace
