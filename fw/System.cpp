#include "fw/System.h"

#include <string>

void LimitDllSearch()
{
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (const auto set = GetSystemProc<SetDirectories>("kernel32.dll", "SetDefaultDllDirectories"))
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name)
{
    if (const HMODULE hModule = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return hModule;
    // A system without the flag refuses it: the DLL by its full path then.
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return ::LoadLibraryA((std::string(folder) + '\\' + name).c_str());
}
