#include "app/CommandLine.h"

#include <cstdint>

namespace {

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsSwitch(const char* arg, const char* letter)
{
    if (arg == nullptr || letter == nullptr || *letter == '\0')
        return false;
    if (*arg == '-' || *arg == '/')
        ++arg;
    return *arg != '\0' && ToLower(*arg) == ToLower(*letter);
}

Role RoleFromArguments(int argc, const char* const* argv)
{
    if (argc <= 1 || IsSwitch(argv[1], "c"))
        return Role::Settings;
    if (IsSwitch(argv[1], "p"))
        return Role::Preview;
    if (IsSwitch(argv[1], "s"))
        return Role::FullScreen;
    return Role::None;
}

bool ParseWindowHandle(const char* text, std::intptr_t& value)
{
    if (text == nullptr)
        return false;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    if (*text < '0' || *text > '9')
        return false;

    // Window handles are 32-bit values on every Windows, also in 64-bit processes.
    std::int64_t number = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        number = number * 10 + (*text - '0');
        if (number > UINT32_MAX)
            return false;
    }
    if (negative && number > -static_cast<std::int64_t>(INT32_MIN))
        return false;
    value = static_cast<std::intptr_t>(negative ? -number : number);
    return true;
}
