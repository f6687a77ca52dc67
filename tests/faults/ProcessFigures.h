// ProcessFigures: what another process holds, read from outside it, for the
// soak run: private memory, GDI and USER objects, kernel handles, threads.
//
// Each figure comes from the documented call where the system answers it
// (GetGuiResources, GetProcessHandleCount, GetProcessMemoryInfo). Wine
// answers those with 0, so each has a stand-in that both systems answer:
// committed private pages summed with VirtualQueryEx; GDI objects as the
// tests count them (tests/support/GdiObjects.h); the process's windows for
// USER objects; the system's handle list for handles.
#pragma once

#include <windows.h>

#include <cstddef>
#include <map>

struct ProcessFigures {
    size_t privateBytes = 0;
    int gdiObjects = 0;
    // GDI objects by the table's type code, where they were counted there.
    std::map<int, int> gdiObjectsByType;
    int userObjects = 0;  // windows, where the system does not count them
    int handles = 0;
    int threads = 0;
};

// `process` needs query and read access.
ProcessFigures MeasureProcess(HANDLE process);
