#include "fw/MaxChars.h"

#include <gtest/gtest.h>

// Texts longer than the limit are refused, counted in bytes, or in UTF-8 in
// characters; a negative limit admits nothing; the prompt names the limit.
TEST(MaxCharsTest, RefusesOnlyTextsLongerThanTheLimit)
{
    EXPECT_FALSE(ExceedsMaxChars(std::string(256, 'a'), 256));
    EXPECT_TRUE(ExceedsMaxChars(std::string(257, 'a'), 256));
    EXPECT_FALSE(ExceedsMaxChars("", 0));
    EXPECT_TRUE(ExceedsMaxChars("", -1));
    EXPECT_TRUE(ExceedsMaxChars("\x83\x65\x83\x58", 3));  // two characters of code page 932
    EXPECT_FALSE(ExceedsMaxChars("\xE5\x86\x99\xF0\x9F\x8C\x84", 2, true));  // 写🌄: two characters in seven bytes
    EXPECT_TRUE(ExceedsMaxChars("\xE5\x86\x99\xF0\x9F\x8C\x84" "a", 2, true));
    EXPECT_EQ(MaxCharsPrompt(256), "Please enter no more than 256 characters.");
}
