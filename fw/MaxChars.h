// The length rule of the dialogs' text boxes, apart from the window system:
// a box that admits at most N characters refuses a longer text at OK with the
// prompt below. Texts are 8-bit strings: in a code page of the system a
// character is a byte of them, in UTF-8 the byte that begins it.
#pragma once

#include <string>
#include <string_view>

// TRUE when the text is longer than the limit; a negative limit admits nothing.
bool ExceedsMaxChars(std::string_view text, int nMaxChars, bool bUtf8 = false);

// The message that refuses an over-long entry.
std::string MaxCharsPrompt(int nMaxChars);
