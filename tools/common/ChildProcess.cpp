#include "tools/common/ChildProcess.h"

bool StartChildInJob(const std::wstring& program, std::wstring_view arguments, DWORD creationFlags, BOOL inheritHandles,
                     STARTUPINFOW& startup, ChildProcess& child) {
    std::wstring commandLine = L"\"" + program + L"\" ";
    commandLine += arguments;
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, inheritHandles,
                          creationFlags | CREATE_SUSPENDED, nullptr, nullptr, &startup, &child.process)) {
        child.process = {};
        return false;
    }
    child.job = ::CreateJobObjectW(nullptr, nullptr);
    if (child.job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        ::SetInformationJobObject(child.job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        ::AssignProcessToJobObject(child.job, child.process.hProcess);
    }
    ::ResumeThread(child.process.hThread);
    return true;
}

void EndChild(ChildProcess& child, UINT exitCode) {
    if (child.process.hProcess) {
        ::TerminateProcess(child.process.hProcess, exitCode);
        ::WaitForSingleObject(child.process.hProcess, 5000);
        ::CloseHandle(child.process.hProcess);
        ::CloseHandle(child.process.hThread);
    }
    if (child.job) ::CloseHandle(child.job);
    child = {};
}

std::wstring BesideThisProgram(std::wstring_view relativePath) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // a long path: truncated, so ask again with room
    }
    path.erase(path.find_last_of(L"\\/") + 1);
    return path += relativePath;
}

std::wstring AsciiWide(std::string_view text) { return std::wstring(text.begin(), text.end()); }
