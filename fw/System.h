// What the program takes from Windows at run time rather than by import:
// functions that older systems lack, and DLLs that are not among the ones
// Windows always loads from its own folder (its known DLLs). A screen saver
// starts by itself from whatever folder it lies in, a Downloads folder too,
// and Windows searches that folder first for any other DLL.
#pragma once

#include <windows.h>

// From here on, DLLs that are loaded by name come from the system folder
// only, where the system allows the limit (Windows 8, and 7 with its update).
void LimitDllSearch();

// A DLL of the system folder, never one of the program's folder; null when it
// cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// A function of a DLL of the system folder, by its type; null where the DLL or
// the function is missing (older systems lack some).
template <class Function>
Function GetSystemProc(const char* dll, const char* name)
{
    const HMODULE hModule = LoadSystemLibrary(dll);
    const FARPROC proc = hModule != nullptr ? ::GetProcAddress(hModule, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}
