#include "fw/MaxChars.h"

bool ExceedsMaxChars(std::string_view text, int nMaxChars, bool bUtf8)
{
    std::size_t characters = text.size();
    if (bUtf8)
        for (const char c : text)
            characters -= (static_cast<unsigned char>(c) & 0xC0) == 0x80;  // a continuation byte
    return nMaxChars < 0 || characters > static_cast<std::size_t>(nMaxChars);
}

std::string MaxCharsPrompt(int nMaxChars)
{
    return "Please enter no more than " + std::to_string(nMaxChars) + " characters.";
}
