// Kernel handles of a process, counted in the system's handle table. Under
// wine GetProcessHandleCount answers 0, but NtQuerySystemInformation with
// SystemHandleInformation (class 16) lists every handle of every process.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace handles {

// One entry of the SystemHandleInformation table. Its process id is only a
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
inline size_t KernelHandles(DWORD pid)
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

}  // namespace handles
