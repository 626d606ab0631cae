#include "app/SettingsPath.h"

#include <gtest/gtest.h>

#include <string>

// Code page 932, where "\x83\x5c" is one character whose second byte is a
// backslash.
static bool IsLeadByteOf932(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// vlm.ini beside the module, in a buffer of `size` bytes; "-" when it does not fit.
static std::string SettingsPathFor(std::string module, std::size_t size = 260, LeadByte isLead = nullptr)
{
    module.resize(std::max(size, module.size() + 1), '\0');
    CutAtLastBackslash(module.data(), isLead);
    return AppendSettingsFileName(module.data(), size) ? module.c_str() : "-";
}

TEST(SettingsPathTest, BesideTheExecutable)
{
    const std::string folder = "C:\\" + std::string(248, 'a');  // 251 bytes, "\vlm.ini" and the end fill 260
    const struct {
        std::string module;
        LeadByte isLead;
        std::string settings;
    } cases[] = {
        {"C:\\Program Files\\My Savers\\vlm.scr", nullptr, "C:\\Program Files\\My Savers\\vlm.ini"},
        {"\\\\server\\share\\VLM~1.SCR", nullptr, "\\\\server\\share\\vlm.ini"},
        {"vlm.scr", nullptr, "vlm.scr\\vlm.ini"},  // no backslash: whole
        {"C:\\Savers\\\x83\x5c\x83\x74\x83\x67.scr", IsLeadByteOf932, "C:\\Savers\\vlm.ini"},
        {"C:\\\x95\x5c\\vlm.scr", IsLeadByteOf932, "C:\\\x95\x5c\\vlm.ini"},
        {"\x83\x5c.scr", IsLeadByteOf932, "\x83\x5c.scr\\vlm.ini"},
        {folder + "\\vlm.scr", nullptr, folder + "\\vlm.ini"},
        {folder + "a\\vlm.scr", nullptr, "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SettingsPathFor(c.module, 260, c.isLead), c.settings) << c.module;
    EXPECT_EQ(FindLastBackslash("C:\\a\x83", IsLeadByteOf932), 2u);  // a lead byte at the very end
}
