// Starting a child process that cannot outlive its starter: it is put in a
// job that ends it when the job's handle closes (or the starter ends), and
// its first thread runs only once it is in the job. Paths and arguments are
// UTF-16, so a folder named in Hangul works whatever the system's code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

struct ChildProcess {
    PROCESS_INFORMATION process{};
    HANDLE job = nullptr;
};

// Starts `program` with `arguments` (after the quoted program name).
// `startup` and `inheritHandles` go to CreateProcessW as they are, and
// `creationFlags` beside CREATE_SUSPENDED. False, with nothing started, on
// failure.
bool StartChildInJob(const std::wstring& program, std::wstring_view arguments, DWORD creationFlags, BOOL inheritHandles,
                     STARTUPINFOW& startup, ChildProcess& child);

// Ends the child, if it runs, with `exitCode`, waits a little for it to go,
// and closes its handles and its job; `child` is then empty.
void EndChild(ChildProcess& child, UINT exitCode);

// The path of `relativePath` taken from the folder of the running program.
std::wstring BesideThisProgram(std::wstring_view relativePath);

// A string of ASCII characters, as UTF-16: for the option texts of the
// test programs, which need no code page.
std::wstring AsciiWide(std::string_view text);
