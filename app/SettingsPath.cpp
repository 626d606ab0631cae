#include "app/SettingsPath.h"

#include <cstring>

void CutAtLastBackslash(char* path)
{
    if (char* last = std::strrchr(path, '\\'))
        *last = '\0';
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
