// CWinApp: the application object; AfxGetApp and the other Afx... accessors;
// AfxWinMain, the start-up the program's WinMain hands over to; AfxAbort,
// its abnormal end.
//
// One application object per program, usually a global of a class derived
// from CWinApp; the base constructor registers it.
#pragma once

#include "framework/CString.h"

#include <windows.h>

#include <span>
#include <string>

class CWnd;
class CWinApp;

// The framework's command for showing the program's help.
constexpr UINT ID_HELP = 0xE146;

// One entry of an application's command table: a menu or accelerator command
// that the main window leaves unhandled goes to the application's handler.
struct AppCommandEntry {
    UINT id;
    void (CWinApp::*handler)();
};

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Start-up of the program; false ends it without a message loop.
    virtual BOOL InitInstance();
    // The application's message loop, until WM_QUIT; returns ExitInstance().
    virtual int Run();
    // Clean-up at the end; the result is the program's exit code, by
    // default the one WM_QUIT carried.
    virtual int ExitInstance();

    // The name of the program file without folder and extension.
    const CString& GetAppName() const { return m_appName; }
    // Argument `index` of the command line as the C runtime split it (0 is
    // the program); empty when there is no such argument.
    CString GetArgument(int index) const;
    int GetArgumentCount() const;

    // Names the registry key under which settings would be kept.
    void SetRegistryKey(const char* key) { m_registryKey = key; }
    const CString& GetRegistryKey() const { return m_registryKey; }

    // Runs the application's handler for command `id`; false when its table
    // has none.
    bool OnCmdMsg(UINT id);
    // The program ships no help file, so there is nothing to open; the
    // command is still taken, so it never falls through to anything else.
    void OnHelp() {}

    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd = nullptr;

protected:
    // The application's command table; none by default.
    virtual std::span<const AppCommandEntry> GetCommandTable() const { return {}; }

    // The code that WM_QUIT carried out of Run.
    int m_exitCode = 0;

private:
    CString m_appName;
    CString m_registryKey;
};

CWinApp* AfxGetApp();
// The full path of a module's file (null: the program's), however long;
// empty when the system cannot tell it.
std::wstring AfxGetModulePath(HMODULE module);
// The name of the program file without folder and extension.
CString AfxGetProgramTitle();
// The application object's name, or the program title when there is none.
CString AfxGetAppName();
// The program module, from which resources come.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
CWnd* AfxGetMainWnd();

// The exit code of a program ended by AfxAbort, the C runtime's for abort().
inline constexpr UINT kAbortExitCode = 3;
// Ends the program at once, as the runtime's abnormal termination does: no
// destructor, exit handler or library notification runs, nothing is shown,
// and nothing unwinds. For failures no caller could recover from, such as
// memory running out inside a window procedure.
[[noreturn]] void AfxAbort();

// Runs the application object: InitInstance, then Run if it returned TRUE.
// Returns the program's exit code; -1 when there is no application object.
int AfxWinMain(HINSTANCE instance);
