// The values of a settings file read from its bytes, as the private-profile
// functions find them, for files that an older version wrote in the system's
// code page: once the program's 8-bit calls speak UTF-8, the functions read
// such a file as UTF-8 and hand out U+FFFD where its letters were. Plain C++.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text of a key: the first line "key=value" of the first section of that
// name, names matched without regard to ASCII letter case, blanks around the
// key and the value dropped, and one pair of quotes around the value;
// nothing when the section or the key is absent.
std::optional<std::string> FindProfileText(std::string_view file, std::string_view section, std::string_view key);

// Whether the bytes are UTF-8 (overlong forms, surrogates and values past
// U+10FFFF are not).
bool IsUtf8(std::string_view text);
