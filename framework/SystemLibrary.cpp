#include "framework/SystemLibrary.h"

#include <string>

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Where this exists, the loader also takes the LOAD_LIBRARY_SEARCH_* flags:
// the system's own way of telling whether they may be used.
SetDefaultDllDirectoriesFunction SetDefaultDllDirectoriesOfSystem() {
    return LoadedModuleFunction<SetDefaultDllDirectoriesFunction>(L"kernel32.dll", "SetDefaultDllDirectories");
}

std::wstring PathInSystemFolder(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(folder, length) + L"\\" + name;
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (SetDefaultDllDirectoriesOfSystem()) return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::wstring path = PathInSystemFolder(name);
    // The altered search path looks for the DLL's own dependencies beside
    // it, in the system folder, first.
    return path.empty() ? nullptr : ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool RestrictDllSearchToSystemFolder() {
    if (const SetDefaultDllDirectoriesFunction restrict = SetDefaultDllDirectoriesOfSystem()) {
        return restrict(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    }
    ::SetDllDirectoryW(L"");
    return false;
}
