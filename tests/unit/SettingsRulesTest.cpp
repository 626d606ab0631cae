#include "settings/SettingsRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace settings;

struct ScrollCase {
    int code;
    int current;
    int thumb;
    int target;
};

class ScrollTargetTest : public testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollTargetTest, FollowsTheScrollTable)
{
    const ScrollCase& c = GetParam();
    EXPECT_EQ(ScrollTarget(c.code, c.current, c.thumb), c.target);
}

INSTANTIATE_TEST_SUITE_P(Codes, ScrollTargetTest, testing::ValuesIn(std::vector<ScrollCase>{
    {kLineLeft, 50, 0, 49},
    {kLineLeft, 1, 0, 1},          // never below 1
    {kLineRight, 50, 0, 51},
    {kLineRight, 100, 0, 101},     // above the range: the bar clamps
    {kPageLeft, 50, 0, 40},
    {kPageLeft, 5, 0, 1},
    {kPageRight, 15, 0, 25},       // the Step bar puts 25 at its end, 20
    {kThumbPosition, 50, 7, 7},
    {kThumbTrack, 50, 93, 93},
    {kThumbTrack, 50, 0, 1},
    {kLeft, 50, 0, 1},             // Home: the left end, 0, is taken as 1
    {kRight, 3, 0, 100},           // End: 100, which the Step bar shows as 20
    {kEndScroll, 37, 99, 37},      // the end of a drag leaves the bar
    {9, 37, 99, 37},               // unknown codes too
    {-1, 0, 99, 1},
}));

struct DirectoryCase {
    const char* midi;
    const char* directory;
};

class MidiInitialDirectoryTest : public testing::TestWithParam<DirectoryCase> {};

TEST_P(MidiInitialDirectoryTest, CutsAtTheLastBackslash)
{
    EXPECT_EQ(MidiInitialDirectory(GetParam().midi), GetParam().directory);
}

INSTANTIATE_TEST_SUITE_P(Texts, MidiInitialDirectoryTest, testing::ValuesIn(std::vector<DirectoryCase>{
    {"C:\\", "C:"},                          // the default: drive C's current directory
    {"D:\\music\\song.mid", "D:\\music"},
    {"D:\\music\\", "D:\\music"},
    {"song.mid", "song.mid"},                // no backslash: whole
    {"\\song.mid", "\\song.mid"},            // the first character is never cut
    {"\\music\\song.mid", "\\music"},
    {"\\\\server\\share\\a.mid", "\\\\server\\share"},
    {"\\\\", "\\"},                          // the second backslash is examined
    {"", ""},
}));

TEST(MidiInitialDirectoryTest, KeepsDoubleByteCharactersWhole)
{
    // Code page 932's lead bytes; "\x83\x5c" is one character.
    const LeadByte cp932 = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
    EXPECT_EQ(MidiInitialDirectory("D:\\\x89\xb9\x8a\x79\\\x83\x5c\x83\x74.mid", cp932), "D:\\\x89\xb9\x8a\x79");
    EXPECT_EQ(MidiInitialDirectory("D:\\\x83\x5c\\a.mid", cp932), "D:\\\x83\x5c");
    EXPECT_EQ(MidiInitialDirectory("\x83\x5c.mid", cp932), "\x83\x5c.mid");
}

}  // namespace
