#include "ProcessFigures.h"

#include "tests/support/GdiObjects.h"

#include <winternl.h>
#include <tlhelp32.h>

#include <vector>

namespace {

// SystemExtendedHandleInformation: every open handle of every process.
constexpr ULONG kSystemExtendedHandleInformation = 64;
struct SystemHandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct SystemHandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    SystemHandleEntry entries[1];
};

size_t CommittedPrivateBytes(HANDLE process) {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr; ::VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

int WindowCount(DWORD processId) {
    struct Count {
        DWORD processId;
        int windows;
    } count{processId, 0};
    const auto countTopLevel = [](HWND window, LPARAM context) -> BOOL {
        auto* count = reinterpret_cast<Count*>(context);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner != count->processId) return TRUE;
        ++count->windows;
        ::EnumChildWindows(
            window,
            [](HWND, LPARAM inner) -> BOOL {
                ++reinterpret_cast<Count*>(inner)->windows;
                return TRUE;
            },
            context);
        return TRUE;
    };
    ::EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

int SystemHandleCount(DWORD processId) {
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<BYTE> buffer(1 << 20);
    for (int attempt = 0; attempt < 6; ++attempt, buffer.resize(buffer.size() * 2)) {
        ULONG needed = 0;
        if (query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) {
            continue;
        }
        const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
        int count = 0;
        for (ULONG_PTR i = 0; i < list->count; ++i) count += list->entries[i].processId == processId ? 1 : 0;
        return count;
    }
    return -1;
}

int ThreadCount(DWORD processId) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot, &thread); more; more = ::Thread32Next(snapshot, &thread)) {
        if (thread.th32OwnerProcessID == processId) ++count;
    }
    ::CloseHandle(snapshot);
    return count;
}

}  // namespace

ProcessFigures MeasureProcess(HANDLE process) {
    const DWORD processId = ::GetProcessId(process);
    ProcessFigures figures;
    figures.privateBytes = CommittedPrivateBytes(process);
    figures.gdiObjects = GdiObjectCount(process);
    // By type only where the system does not count them itself.
    if (!::GetGuiResources(process, GR_GDIOBJECTS)) figures.gdiObjectsByType = GdiObjectsByType(process);
    const DWORD user = ::GetGuiResources(process, GR_USEROBJECTS);
    figures.userObjects = user ? static_cast<int>(user) : WindowCount(processId);
    DWORD handles = 0;
    figures.handles = ::GetProcessHandleCount(process, &handles) && handles ? static_cast<int>(handles)
                                                                            : SystemHandleCount(processId);
    figures.threads = ThreadCount(processId);
    return figures;
}
