#include "tests/support/ProgramRun.h"

#include "tests/support/IdentityArgument.h"

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

ProgramRun::~ProgramRun() { EndChild(m_child, 1); }

bool ProgramRun::Start(const std::wstring& program, std::wstring_view arguments) {
    if (m_child.process.hProcess) return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return StartChildInJob(program, arguments, 0, FALSE, startup, m_child);
}

bool ProgramRun::StartAs(std::string_view userId) {
    return Start(BesideThisProgram(L"" WOBBLE_PROGRAM_FOLDER "WobbleMiniChat.exe"),
                 AsciiWide(IdentityArgument(userId)));
}

HWND ProgramRun::WaitForWindow(WindowKind kind, DWORD timeoutMs) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        for (HWND window : VisibleTopLevelWindowsOf(m_child.process.dwProcessId)) {
            if (IsOfKind(window, kind)) return window;
        }
    } while (::WaitForSingleObject(m_child.process.hProcess, kPollMs) == WAIT_TIMEOUT && ::GetTickCount64() < deadline);
    return nullptr;
}

bool ProgramRun::ShowsAnyWindow() const { return !VisibleTopLevelWindowsOf(m_child.process.dwProcessId).empty(); }

std::optional<DWORD> ProgramRun::WaitForExit(DWORD timeoutMs) const {
    if (::WaitForSingleObject(m_child.process.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!::GetExitCodeProcess(m_child.process.hProcess, &code)) return std::nullopt;
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
