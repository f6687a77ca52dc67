// LoadSystemLibrary, RestrictDllSearchToSystemFolder: code comes from the
// system folder only.
//
// A program unpacked from a zip runs from wherever the user put it, often the
// downloads folder, where any web page may have left a file named like a
// system DLL. The loader's default search starts in the program's own folder,
// so a DLL asked for by bare name could be that file, run with the user's
// rights. Every DLL loaded at run time goes through LoadSystemLibrary, and the
// process narrows its default search at start for what the system loads on
// its behalf.
//
// The search flags came with an update to Windows 7 (KB2533623); they are
// looked up at run time, so a Windows 7 without it still starts: there a DLL
// is loaded by its full path in the system folder, and the default search at
// least leaves out the current folder. Calling each by its full path was the
// alternative for all systems, rejected because where the flags exist they
// also keep the DLL's own dependencies in the system folder.
#pragma once

#include <windows.h>

// The system folder's DLL `name` (a bare file name), loaded; null when there
// is none there, whatever lies elsewhere.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The function `name` of `module`, as the type the caller declares it with;
// null when the module or the function is missing, as on a Windows older
// than the function. Functions of later Windows versions are reached this
// way, never imported by name, so the program still starts on Windows 7.
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}
// The same for a module the process has loaded already (user32, comctl32).
template <typename Function>
Function LoadedModuleFunction(const wchar_t* module, const char* name) {
    return ModuleFunction<Function>(::GetModuleHandleW(module), name);
}

// Narrows the process's default DLL search to the system folder. True where
// the system offers that; false where it could only drop the current folder.
bool RestrictDllSearchToSystemFolder();
