// RunThisProgram, ProcessMemory: a benchmark's runs as processes of their
// own, so that no run inherits the heap another one grew and freed, and the
// memory a run reads of itself.
#pragma once

#include "bench/ChatPane.h"

#include <windows.h>
#include <psapi.h>

#include <string>

namespace bench {

struct Memory {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    SIZE_T peakPrivateBytes = 0;
    SIZE_T peakWorkingSet = 0;
};

inline Memory ProcessMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        Fail("GetProcessMemoryInfo");
    }
    // The commit charge: Windows reports it as both PagefileUsage and
    // PrivateUsage, Wine only as PagefileUsage (PrivateUsage stays 0).
    return {counters.PagefileUsage, counters.WorkingSetSize, counters.PeakPagefileUsage, counters.PeakWorkingSetSize};
}

// Starts this program with `arguments` (" --run", say) and returns what it
// printed on stdout; the benchmark fails when the run does, or outlasts
// `timeoutMs`.
inline std::string RunThisProgram(const std::wstring& arguments, DWORD timeoutMs) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) Fail("CreatePipe");
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) Fail("GetModuleFileNameW");
    std::wstring command = L"\"" + std::wstring(path) + L"\"" + arguments;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        Fail("CreateProcessW");
    }
    CloseHandle(writeEnd);  // so that the read ends when the child does

    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    CloseHandle(readEnd);

    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &exitCode)) {
        exitCode = 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode != 0) Fail("a run failed");
    return output;
}

}  // namespace bench
