// Where the settings file lies: beside the executable, as "vlm.ini".
#pragma once

#include <cstddef>

// The folder of a module path: the last backslash becomes the terminator. A path
// without a backslash stays as it is.
void CutAtLastBackslash(char* path);

// Appends "\vlm.ini" to the folder in `buffer` (of `size` bytes, terminator
// included). FALSE, with the buffer unchanged, when the result would not fit.
bool AppendSettingsFileName(char* buffer, std::size_t size);
