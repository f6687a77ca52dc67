// ProgramRun: one run of the real chat program as a child process, and its
// top-level windows as another process sees them. The child is put in a job
// that ends it when the run object goes, so a failed test leaves no copy
// behind to hold the single-instance name.
#pragma once

#include "tools/common/ChildProcess.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

class ProgramRun {
public:
    // Which of the program's windows, both captioned with its title, is
    // meant: the chat window has the input box, the message box has not.
    enum class WindowKind { ChatWindow, MessageBox };

    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Start(const std::wstring& program, std::wstring_view arguments);
    // Starts the chat program as built beside the test programs, with the
    // identity argument that names `userId`.
    bool StartAs(std::string_view userId);

    // The run's visible top-level window of that kind, once it shows within
    // `timeoutMs`; null when it does not.
    HWND WaitForWindow(WindowKind kind, DWORD timeoutMs) const;
    // Whether the run shows any visible top-level window now.
    bool ShowsAnyWindow() const;
    // The exit code once the run ends within `timeoutMs`; none while it runs.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // Like WaitForExit, failing as soon as the run shows a window.
    std::optional<DWORD> WaitForExitWithoutWindow(DWORD timeoutMs, bool& showedWindow) const;

private:
    ChildProcess m_child;
};

// The text of a window of any process.
std::wstring WindowText(HWND window);
// The message a message box shows: the text of its static controls that
// carry any.
std::wstring MessageBoxText(HWND box);
