#include "fw/ProfileText.h"

#include <gtest/gtest.h>

// A key's text as the private-profile functions find it ("-" for none), and
// whether it is UTF-8.
TEST(ProfileTextTest, FindsAsTheProfileFunctionsDo)
{
    const char* file = "; an older vlm.ini\r\n[Other]\r\nFolder=no\r\n [config] \r\n  folder = C:\\Caf\xE9 \r\n"
                       "Folder=second\r\nMidi=\"D:\\a b.mid\"\r\nEmpty=\r\nQuote=\"\n[Config]\nSpeed=9";
    const struct {
        const char* key;
        const char* text;
    } cases[] = {{"Folder", "C:\\Caf\xE9"}, {"MIDI", "D:\\a b.mid"}, {"Empty", ""}, {"Quote", "\""}, {"Speed", "-"},
                 {"Resolution", "-"}};
    for (const auto& c : cases)
        EXPECT_EQ(FindProfileText(file, "Config", c.key).value_or("-"), c.text) << c.key;
    EXPECT_FALSE(FindProfileText("Folder=C:\\", "Config", "Folder"));
    for (const char* text : {"C:\\Caf\xC3\xA9", "\xE5\x86\x99\xF0\x9F\x8C\x84\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(IsUtf8(text)) << text;
    for (const char* text : {"C:\\Caf\xE9", "\x83\x5C", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                             "\xE5\x86"})  // code page 1252, 932, overlong, a surrogate, past U+10FFFF, cut
        EXPECT_FALSE(IsUtf8(text)) << text;
}
