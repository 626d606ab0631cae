#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

// Argument 1 selects the role by its one letter after at most one "-" or "/",
// in either case; the preview's handle is decimal, signed, after blanks, read
// up to the first non-digit, 32 bits at most.
TEST(CommandLineTest, RoleAndWindowHandle)
{
    const std::string digits(20000, '9');
    const std::pair<const char*, Role> roles[] = {
        {"/c:512", Role::Settings}, {"-C", Role::Settings}, {"s", Role::FullScreen}, {"/Scr", Role::FullScreen},
        {"/p", Role::Preview},      {"P", Role::Preview},   {"//s", Role::None},     {"/-s", Role::None},
        {"", Role::None},           {"/", Role::None},      {"512", Role::None},     {digits.c_str(), Role::None},
    };
    for (const auto& [arg, role] : roles) {
        const char* argv[] = {"vlm.scr", arg, "/s"};
        EXPECT_EQ(RoleFromArguments(3, argv), role) << arg;
    }
    EXPECT_EQ(RoleFromArguments(1, nullptr), Role::Settings);
    const std::pair<const char*, long long> handles[] = {  // -7: refused, the value untouched
        {"\t +512abc", 512}, {"4294967295", 4294967295LL}, {"-2147483648", -2147483648LL}, {"0x200", 0},
        {"4294967296", -7}, {"-2147483649", -7}, {digits.c_str(), -7}, {"", -7}, {"-", -7}, {nullptr, -7},
    };
    for (const auto& [text, expected] : handles) {
        std::intptr_t value = -7;
        EXPECT_EQ(ParseWindowHandle(text, value), expected != -7) << (text ? text : "null");
        EXPECT_EQ(value, expected) << (text ? text : "null");
    }
}
