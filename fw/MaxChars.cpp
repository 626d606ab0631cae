#include "fw/MaxChars.h"

bool ExceedsMaxChars(std::string_view text, int nMaxChars)
{
    return nMaxChars < 0 || text.size() > static_cast<std::size_t>(nMaxChars);
}

std::string MaxCharsPrompt(int nMaxChars)
{
    return "Please enter no more than " + std::to_string(nMaxChars) + " characters.";
}
