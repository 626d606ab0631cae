// The shell's special folders (SHGetSpecialFolderPathA).
#pragma once

#include <windows.h>

#include <string>

// The path of a special folder such as CSIDL_INTERNET_CACHE, without creating
// it; FALSE when the shell does not know it.
BOOL GetSpecialFolderPath(HWND hWnd, int nFolder, std::string& path);
