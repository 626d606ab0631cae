// Where the settings file lies: beside the executable, as "vlm.ini".
#pragma once

#include <cstddef>
#include <string>

// Whether a byte begins a double-byte character of the system's code page: in
// code page 932 the second byte of such a character may be a backslash.
using LeadByte = bool (*)(unsigned char);

// The position of the last backslash that is a character of its own, not the
// second byte of a double-byte character; npos when there is none. Without a
// lead-byte test every byte is a character.
std::size_t FindLastBackslash(const std::string& text, LeadByte isLead = nullptr);

// The folder of a module path: the last backslash becomes the terminator. A path
// without a backslash stays as it is.
void CutAtLastBackslash(char* path, LeadByte isLead = nullptr);

// Appends "\vlm.ini" to the folder in `buffer` (of `size` bytes, terminator
// included). FALSE, with the buffer unchanged, when the result would not fit.
bool AppendSettingsFileName(char* buffer, std::size_t size);
