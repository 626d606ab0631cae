#include "app/SettingsPath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string SettingsPathFor(std::string module, std::size_t size = 260, LeadByte isLead = nullptr)
{
    module.resize(std::max(size, module.size() + 1), '\0');
    CutAtLastBackslash(module.data(), isLead);
    if (!AppendSettingsFileName(module.data(), size))
        return "<does not fit>";
    return module.c_str();
}

TEST(SettingsPathTest, LiesBesideTheExecutable)
{
    EXPECT_EQ(SettingsPathFor("C:\\Windows\\System32\\vlm.scr"), "C:\\Windows\\System32\\vlm.ini");
    EXPECT_EQ(SettingsPathFor("C:\\Program Files\\My Savers\\vlm.scr"), "C:\\Program Files\\My Savers\\vlm.ini");
    EXPECT_EQ(SettingsPathFor("C:\\vlm.scr"), "C:\\vlm.ini");
    EXPECT_EQ(SettingsPathFor("\\\\server\\share\\VLM~1.SCR"), "\\\\server\\share\\vlm.ini");
}

TEST(SettingsPathTest, PathWithoutBackslashStaysWhole)
{
    EXPECT_EQ(SettingsPathFor("vlm.scr"), "vlm.scr\\vlm.ini");
}

// Code page 932: "\x83\x5c" is one character whose second byte is a backslash.
bool IsLeadByteOf932(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TEST(SettingsPathTest, DoubleByteCharactersStayWhole)
{
    EXPECT_EQ(SettingsPathFor("C:\\Savers\\\x83\x5c\x83\x74\x83\x67.scr", 260, IsLeadByteOf932), "C:\\Savers\\vlm.ini");
    EXPECT_EQ(SettingsPathFor("C:\\\x95\x5c\\vlm.scr", 260, IsLeadByteOf932), "C:\\\x95\x5c\\vlm.ini");
    EXPECT_EQ(SettingsPathFor("\x83\x5c.scr", 260, IsLeadByteOf932), "\x83\x5c.scr\\vlm.ini");
    EXPECT_EQ(FindLastBackslash("C:\\a\x83", IsLeadByteOf932), 2u);  // a lead byte at the end
    EXPECT_EQ(FindLastBackslash("\x83\\", nullptr), 1u);
}

TEST(SettingsPathTest, RefusesWhatDoesNotFit)
{
    // 260 bytes hold a folder of 251 characters, "\vlm.ini" and the terminator.
    const std::string fits = "C:\\" + std::string(248, 'a');
    ASSERT_EQ(fits.size(), 251u);
    EXPECT_EQ(SettingsPathFor(fits + "\\vlm.scr"), fits + "\\vlm.ini");
    EXPECT_EQ(SettingsPathFor(fits + "a\\vlm.scr"), "<does not fit>");
}

TEST(SettingsPathTest, UnterminatedBufferIsRefusedUntouched)
{
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_FALSE(AppendSettingsFileName(buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer, sizeof buffer), "xxxxxxxx");
}

}  // namespace
