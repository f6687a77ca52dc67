#include "tests/support/ProgramRun.h"

#include "tests/support/IdentityArgument.h"
#include "tools/common/ServiceProcess.h"

#include <vector>

namespace {

// What the chat window and its message box are captioned.
constexpr wchar_t kProgramTitle[] = L"워블채팅";
// The chat window's input box; a message box has no such control.
constexpr int kInputBoxId = 1001;
constexpr DWORD kPollMs = 50;

std::vector<HWND> VisibleTopLevelWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* search = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == search->processId && ::IsWindowVisible(window)) search->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsOfKind(HWND window, ProgramRun::WindowKind kind) {
    if (WindowText(window) != kProgramTitle) return false;
    const bool hasInputBox = ::GetDlgItem(window, kInputBoxId) != nullptr;
    return hasInputBox == (kind == ProgramRun::WindowKind::ChatWindow);
}

}  // namespace

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        ::GetClassNameW(child, className, 32);
        if (::lstrcmpiW(className, L"Static") == 0) text += WindowText(child);
    }
    return text;
}

ProgramRun::~ProgramRun() {
    if (m_process.hProcess) {
        ::TerminateProcess(m_process.hProcess, 1);
        ::WaitForSingleObject(m_process.hProcess, 5000);
        ::CloseHandle(m_process.hProcess);
        ::CloseHandle(m_process.hThread);
    }
    if (m_job) ::CloseHandle(m_job);
}

bool ProgramRun::Start(const std::string& program, const std::string& arguments) {
    if (m_process.hProcess) return false;
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          nullptr, &startup, &m_process)) {
        m_process = {};
        return false;
    }
    m_job = ::CreateJobObjectW(nullptr, nullptr);
    if (m_job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        ::SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        ::AssignProcessToJobObject(m_job, m_process.hProcess);
    }
    ::ResumeThread(m_process.hThread);
    return true;
}

bool ProgramRun::StartAs(std::string_view userId) {
    return Start(ServiceProcess::BesideThisProgram(WOBBLE_PROGRAM_FOLDER "WobbleMiniChat.exe"), IdentityArgument(userId));
}

HWND ProgramRun::WaitForWindow(WindowKind kind, DWORD timeoutMs) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        for (HWND window : VisibleTopLevelWindowsOf(m_process.dwProcessId)) {
            if (IsOfKind(window, kind)) return window;
        }
    } while (::WaitForSingleObject(m_process.hProcess, kPollMs) == WAIT_TIMEOUT && ::GetTickCount64() < deadline);
    return nullptr;
}

bool ProgramRun::ShowsAnyWindow() const { return !VisibleTopLevelWindowsOf(m_process.dwProcessId).empty(); }

std::optional<DWORD> ProgramRun::WaitForExit(DWORD timeoutMs) const {
    if (::WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!::GetExitCodeProcess(m_process.hProcess, &code)) return std::nullopt;
    return code;
}

std::optional<DWORD> ProgramRun::WaitForExitWithoutWindow(DWORD timeoutMs, bool& showedWindow) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    showedWindow = false;
    while (!(showedWindow = ShowsAnyWindow())) {
        if (const std::optional<DWORD> code = WaitForExit(kPollMs)) return code;
        if (::GetTickCount64() >= deadline) break;
    }
    return std::nullopt;
}
