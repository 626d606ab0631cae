// The shell's folders: special folders by their ids, and the file-system path
// of an item of its namespace. Both come from the shell's wide-character
// calls, converted to the 8-bit calls' code page (UTF-8 where the manifest
// makes it so) whole: the 8-bit forms hand out at most MAX_PATH bytes, and
// cut a longer UTF-8 path wherever it ends.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

// The path of a special folder such as CSIDL_INTERNET_CACHE, without creating
// it; FALSE when the shell does not know it.
BOOL GetSpecialFolderPath(HWND hWnd, int nFolder, std::string& path);

// The path of a folder chosen in the shell's namespace; FALSE for an item
// that has none (such as "Network").
BOOL GetPathFromIDList(const ITEMIDLIST* pidl, std::string& path);

// FALSE, with `path` untouched, when a character has no place in the 8-bit
// calls' code page.
BOOL PathFromWide(const wchar_t* wide, std::string& path);
