// GdiObjectCount: how many GDI objects a process holds, the one count the
// tests use to see leaks.
//
// The documented call, GetGuiResources, answers where the system counts;
// Wine answers it with 0, so the count then comes from the process's GDI
// handle table (its PEB points at it), whose live entries are the objects.
// Guessing from the slots of fresh handles was rejected: it only moves with
// a leak as long as the system hands freed slots out again first.
#pragma once

#include <windows.h>

#include <map>

// `process` needs query and read access. -1 when neither way can count.
int GdiObjectCount(HANDLE process = ::GetCurrentProcess());

// Live entries of the process's GDI handle table, by the table's type code;
// empty when the table cannot be read (as where GetGuiResources counts).
std::map<int, int> GdiObjectsByType(HANDLE process);
