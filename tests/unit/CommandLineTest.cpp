#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct RoleCase {
    std::vector<const char*> args;  // after the program name
    Role role;
};

class RoleTest : public testing::TestWithParam<RoleCase> {};

TEST_P(RoleTest, FirstArgumentSelectsTheRole)
{
    std::vector<const char*> argv{"vlm.scr"};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    EXPECT_EQ(RoleFromArguments(static_cast<int>(argv.size()), argv.data()), GetParam().role);
}

INSTANTIATE_TEST_SUITE_P(Switches, RoleTest, testing::ValuesIn(std::vector<RoleCase>{
    {{}, Role::Settings},                 // no argument at all
    {{"c"}, Role::Settings},
    {{"/c"}, Role::Settings},
    {{"-c"}, Role::Settings},
    {{"/c:512"}, Role::Settings},         // the number after the letter is not read
    {{"/config"}, Role::Settings},
    {{"/C"}, Role::Settings},             // letters ignore case
    {{"/c", "/s"}, Role::Settings},       // only argument 1 counts
    {{"s"}, Role::FullScreen},
    {{"/s"}, Role::FullScreen},
    {{"-s"}, Role::FullScreen},
    {{"/scr"}, Role::FullScreen},
    {{"/S"}, Role::FullScreen},           // Explorer's "Test" and double-click
    {{"/s", "extra", "args"}, Role::FullScreen},
    {{"/p", "512"}, Role::Preview},
    {{"/P", "512"}, Role::Preview},
    {{"p"}, Role::Preview},               // the missing handle is the preview's to refuse
    {{"//s"}, Role::None},                // only one prefix is skipped
    {{"/-s"}, Role::None},
    {{"x"}, Role::None},
    {{""}, Role::None},
    {{"/"}, Role::None},
    {{"-"}, Role::None},
    {{"512"}, Role::None},
}));

TEST(IsSwitchTest, ComparesExactlyOneCharacterAfterOnePrefix)
{
    EXPECT_TRUE(IsSwitch("/s", "s"));
    EXPECT_TRUE(IsSwitch("s", "S"));
    EXPECT_FALSE(IsSwitch("/s", "p"));
    EXPECT_FALSE(IsSwitch("/", "s"));
    EXPECT_FALSE(IsSwitch("", ""));       // the terminator matches no letter
    EXPECT_FALSE(IsSwitch("/s", ""));
    EXPECT_FALSE(IsSwitch(nullptr, "s"));
    EXPECT_FALSE(IsSwitch("\xE1", "\xC1"));  // only ASCII letters fold
}

struct HandleCase {
    const char* text;
    bool ok;
    std::intptr_t value;
};

class HandleTest : public testing::TestWithParam<HandleCase> {};

TEST_P(HandleTest, ReadsTheDecimalHandle)
{
    std::intptr_t value = -7;
    EXPECT_EQ(ParseWindowHandle(GetParam().text, value), GetParam().ok) << GetParam().text;
    EXPECT_EQ(value, GetParam().ok ? GetParam().value : -7) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, HandleTest, testing::ValuesIn(std::vector<HandleCase>{
    {"512", true, 512},
    {"  512", true, 512},
    {"+512", true, 512},
    {"512abc", true, 512},                // reading stops at the first non-digit
    {"0", true, 0},
    {"4294967295", true, 4294967295LL},   // the largest 32-bit handle
    {"-2", true, -2},                     // a sign-extended handle
    {"-2147483648", true, -2147483648LL},
    {"4294967296", false, 0},
    {"-2147483649", false, 0},
    {"99999999999999999999999", false, 0},
    {"", false, 0},
    {"abc", false, 0},
    {"-", false, 0},
    {"0x200", true, 0},                   // decimal only: the x ends it
    {nullptr, false, 0},
}));

}  // namespace
