// The kernel handles of another process, for the soak that watches vlm.scr
// from outside:
//
//   vlmhandles PID    prints the number of handles that process holds
//   vlmhandles NAME   finds the one process whose executable is NAME (case
//                     ignored) and prints "PID COUNT"
//
// Exits with 1 when no such process runs (or several do, for a name).
#include <windows.h>

#include <tlhelp32.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Kernel handles are counted in the system's handle table: under wine
// GetProcessHandleCount answers 0, but NtQuerySystemInformation with
// SystemHandleInformation (class 16) lists every handle of every process.
// One entry of that table. Its process id is only a
// USHORT: ids are compared in their low 16 bits, which is exact under wine,
// whose process ids are small multiples of 4 far below 0x10000.
struct Entry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR attributes;
    USHORT handle;
    PVOID object;
    ULONG grantedAccess;
};
struct Table {
    ULONG count;
    Entry entries[1];
};

// The number of kernel handles that process `pid` holds; 0 when the table
// cannot be read.
size_t KernelHandles(DWORD pid)
{
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return 0;
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);  // STATUS_INFO_LENGTH_MISMATCH
    std::vector<unsigned char> buffer(1 << 16);
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return 0;
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    const auto id = static_cast<USHORT>(pid);
    size_t count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        count += table->entries[i].processId == id;
    return count;
}

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
        const size_t count = KernelHandles(pid);
        if (count == 0)
            return 1;
        std::printf("%zu\n", count);
        return 0;
    }
    const DWORD pid = FindProcess(argv[1]);
    if (pid == 0)
        return 1;
    std::printf("%lu %zu\n", static_cast<unsigned long>(pid), KernelHandles(pid));
    return 0;
}
