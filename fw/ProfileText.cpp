#include "fw/ProfileText.h"

#include <algorithm>
#include <cctype>

namespace {

std::string_view Trim(std::string_view text)
{
    const std::string_view::size_type first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::optional<std::string> FindProfileText(std::string_view file, std::string_view section, std::string_view key)
{
    bool inSection = false, seen = false;
    while (!file.empty()) {
        const std::string_view::size_type end = std::min(file.find_first_of("\r\n"), file.size());
        const std::string_view line = Trim(file.substr(0, end));
        file.remove_prefix(std::min(file.find_first_not_of("\r\n", end), file.size()));
        if (!line.empty() && line.front() == '[') {
            if (seen)
                break;  // only the first section of the name counts
            const std::string_view::size_type close = line.find(']');
            inSection = seen = close != std::string_view::npos && SameName(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        const std::string_view::size_type equals = line.find('=');
        if (!inSection || equals == std::string_view::npos || !SameName(Trim(line.substr(0, equals)), key))
            continue;
        std::string_view value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

bool IsUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        const int length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || at + length > text.size())
            return false;
        unsigned long code = lead & (0x7F >> length);
        for (int i = 1; i < length; ++i) {
            const unsigned char next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        static constexpr unsigned long kLeast[] = {0, 0, 0x80, 0x800, 0x10000};  // shorter forms are overlong
        if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        at += length;
    }
    return true;
}
