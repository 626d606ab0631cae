#include "fw/Shell.h"

#include <shlobj.h>

BOOL GetSpecialFolderPath(HWND hWnd, int nFolder, std::string& path)
{
    char buffer[MAX_PATH] = "";
    if (!::SHGetSpecialFolderPathA(hWnd, buffer, nFolder, FALSE))
        return FALSE;
    path = buffer;
    return TRUE;
}
