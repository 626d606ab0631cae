#include "fw/MaxChars.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MaxCharsTest, RefusesOnlyTextsLongerThanTheLimit)
{
    EXPECT_FALSE(ExceedsMaxChars("", 256));
    EXPECT_FALSE(ExceedsMaxChars(std::string(256, 'a'), 256));
    EXPECT_TRUE(ExceedsMaxChars(std::string(257, 'a'), 256));
    EXPECT_FALSE(ExceedsMaxChars("", 0));
    EXPECT_TRUE(ExceedsMaxChars("a", 0));
    EXPECT_TRUE(ExceedsMaxChars("", -1));
}

TEST(MaxCharsTest, CountsBytesOfMultibyteTexts)
{
    // Two characters of code page 932, four bytes.
    EXPECT_TRUE(ExceedsMaxChars("\x83\x65\x83\x58", 3));
}

TEST(MaxCharsTest, PromptNamesTheLimit)
{
    EXPECT_EQ(MaxCharsPrompt(256), "Please enter no more than 256 characters.");
}

}  // namespace
