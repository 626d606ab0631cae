#include "settings/SettingsRules.h"

#include <gtest/gtest.h>

using namespace settings;

// Lines step by 1 and pages by 10 on every bar; Home and End ask for 0 and
// 100, which the bar brings into its range; nothing goes below 1.
TEST(SettingsRulesTest, ScrollTargets)
{
    const struct {
        int code, current, thumb, target;
    } cases[] = {
        {kLineLeft, 50, 0, 49},  {kLineLeft, 1, 0, 1},          {kLineRight, 100, 0, 101},
        {kPageLeft, 50, 0, 40},  {kPageLeft, 5, 0, 1},          {kPageRight, 15, 0, 25},
        {kThumbPosition, 50, 7, 7}, {kThumbTrack, 50, 93, 93},  {kThumbTrack, 50, 0, 1},
        {kLeft, 50, 0, 1},       {kRight, 3, 0, 100},           {kEndScroll, 37, 99, 37},
        {9, 37, 99, 37},         {-1, 0, 99, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScrollTarget(c.code, c.current, c.thumb), c.target) << c.code << " at " << c.current;
}

// The MIDI chooser opens in the folder of the MIDI text: up to its last
// backslash, which is never its first character.
TEST(SettingsRulesTest, MidiInitialDirectory)
{
    const LeadByte cp932 = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
    const struct {
        const char* midi;
        LeadByte isLead;
        const char* directory;
    } cases[] = {
        {"C:\\", nullptr, "C:"},  // the default: drive C's current directory
        {"D:\\music\\song.mid", nullptr, "D:\\music"}, {"song.mid", nullptr, "song.mid"},
        {"\\song.mid", nullptr, "\\song.mid"},          {"\\\\", nullptr, "\\"},
        {"D:\\\x83\x5c\\a.mid", cp932, "D:\\\x83\x5c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MidiInitialDirectory(c.midi, c.isLead), c.directory) << c.midi;
}
