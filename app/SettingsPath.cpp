#include "app/SettingsPath.h"

#include <cstring>

std::size_t FindLastBackslash(const std::string& text, LeadByte isLead)
{
    std::size_t last = std::string::npos;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\\')
            last = at;
        else if (isLead != nullptr && isLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size())
            ++at;  // its second byte, whatever it is
    }
    return last;
}

void CutAtLastBackslash(char* path, LeadByte isLead)
{
    const std::size_t last = FindLastBackslash(path, isLead);
    if (last != std::string::npos)
        path[last] = '\0';
}

bool AppendSettingsFileName(char* buffer, std::size_t size)
{
    static const char kFileName[] = "\\vlm.ini";
    const void* end = std::memchr(buffer, '\0', size);
    if (end == nullptr)
        return false;
    const std::size_t length = static_cast<const char*>(end) - buffer;
    if (size - length < sizeof kFileName)
        return false;
    std::memcpy(buffer + length, kFileName, sizeof kFileName);
    return true;
}
