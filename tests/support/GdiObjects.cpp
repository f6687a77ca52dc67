#include "tests/support/GdiObjects.h"

#include <winternl.h>

#include <vector>

namespace {

// The 64-bit PEB's pointer to the GDI handle table, and one entry of that
// table: a kernel-object pointer, owner, reuse count, type (0: free), flags
// and a user pointer.
constexpr size_t kPebGdiTableOffset = 0xF8;
constexpr size_t kGdiTableEntries = 0x10000;
struct GdiTableEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 user;
};

}  // namespace

std::map<int, int> GdiObjectsByType(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return {};
    UINT64 table = 0;
    const auto* pointerAt = reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kPebGdiTableOffset;
    if (!::ReadProcessMemory(process, pointerAt, &table, sizeof table, nullptr) || !table) return {};
    std::vector<GdiTableEntry> entries(kGdiTableEntries);
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                             entries.size() * sizeof(GdiTableEntry), nullptr)) {
        return {};
    }
    const USHORT owner = static_cast<USHORT>(::GetProcessId(process));
    std::map<int, int> census;
    for (const GdiTableEntry& entry : entries) {
        // Windows keeps one table for all processes; Wine one per process,
        // with no owner recorded.
        const USHORT entryOwner = static_cast<USHORT>(entry.owner & 0xFFFF);
        if (entry.type != 0 && (entryOwner == 0 || entryOwner == owner)) ++census[entry.type];
    }
    return census;
}

int GdiObjectCount(HANDLE process) {
    if (const DWORD counted = ::GetGuiResources(process, GR_GDIOBJECTS)) return static_cast<int>(counted);
    const std::map<int, int> census = GdiObjectsByType(process);
    if (census.empty()) return -1;
    int count = 0;
    for (const auto& [type, objects] : census) count += objects;
    return count;
}
