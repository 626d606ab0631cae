// The kernel handles of another process, for the soak that watches vlm.scr
// from outside:
//
//   vlmhandles PID    prints the number of handles that process holds
//   vlmhandles NAME   finds the one process whose executable is NAME (case
//                     ignored) and prints "PID COUNT"
//
// Exits with 1 when no such process runs (or several do, for a name).
#include "tests/win/Handles.h"

#include <tlhelp32.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsNumber(const char* text)
{
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text)
        if (!std::isdigit(static_cast<unsigned char>(*text)))
            return false;
    return true;
}

// The id of the only process running `name`; 0 when none or several do.
DWORD FindProcess(const char* name)
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    int matches = 0;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        if (::lstrcmpiA(entry.szExeFile, name) == 0) {
            found = entry.th32ProcessID;
            ++matches;
        }
    }
    ::CloseHandle(snapshot);
    return matches == 1 ? found : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    if (IsNumber(argv[1])) {
        const DWORD pid = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
        const size_t count = handles::KernelHandles(pid);
        if (count == 0)
            return 1;
        std::printf("%zu\n", count);
        return 0;
    }
    const DWORD pid = FindProcess(argv[1]);
    if (pid == 0)
        return 1;
    std::printf("%lu %zu\n", static_cast<unsigned long>(pid), handles::KernelHandles(pid));
    return 0;
}
