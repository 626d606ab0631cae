// Random command lines against the command-line reading: whatever the
// arguments, no crash, a role that one plain reading of the switch table
// also gives, and a window handle that agrees with a plain decimal reading.
// The input is the argument list, its arguments separated by NUL bytes.
#include "app/CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// The switch letter of an argument: its first character after at most one
// '-' or '/', folded to lower case for ASCII letters; '\0' for none.
char SwitchLetter(const std::string& arg)
{
    const std::size_t at = !arg.empty() && (arg[0] == '-' || arg[0] == '/') ? 1 : 0;
    return at < arg.size() ? Lower(arg[at]) : '\0';
}

Role ReferenceRole(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return Role::Settings;
    switch (SwitchLetter(args[1])) {
    case 'c':
        return Role::Settings;
    case 'p':
        return Role::Preview;
    case 's':
        return Role::FullScreen;
    default:
        return Role::None;
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Blanks, a sign, decimal digits: the number if it has digits and its
// magnitude fits (4294967295 positive, 2147483648 negative).
bool ReferenceHandle(const std::string& text, std::int64_t& value)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    std::string digits;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        digits += text[at++];
    if (digits.empty())
        return false;
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.size() > 10)
        return false;
    const std::int64_t magnitude = digits.empty() ? 0 : std::strtoll(digits.c_str(), nullptr, 10);
    if (magnitude > (negative ? 2147483648LL : 4294967295LL))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // argv[0] is the program, then one argument per NUL-separated piece.
    std::vector<std::string> args{"vlm.scr"};
    args.emplace_back();
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0')
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    if (size == 0)
        args.pop_back();  // no argument at all
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());

    const Role role = RoleFromArguments(static_cast<int>(argv.size()), argv.data());
    Check(role == Role::Settings || role == Role::Preview || role == Role::FullScreen || role == Role::None);
    Check(role == ReferenceRole(args));

    for (const std::string& arg : args) {
        for (const char* letter : {"c", "p", "s", "S", ""}) {
            const bool expected = *letter != '\0' && SwitchLetter(arg) != '\0' && SwitchLetter(arg) == Lower(*letter);
            Check(IsSwitch(arg.c_str(), letter) == expected);
        }
        std::intptr_t value = -7;
        std::int64_t reference = 0;
        const bool ok = ParseWindowHandle(arg.c_str(), value);
        Check(ok == ReferenceHandle(arg, reference));
        Check(ok ? static_cast<std::int64_t>(value) == reference : value == -7);
    }
    Check(!IsSwitch(nullptr, "s"));
    return 0;
}
