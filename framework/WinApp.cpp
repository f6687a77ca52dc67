#include "framework/WinApp.h"

#include "framework/TextConversion.h"
#include "framework/Wnd.h"

#include <cstdlib>
#include <string>

namespace {

CWinApp* g_app = nullptr;

}  // namespace

std::wstring AfxGetModulePath(HMODULE module) {
    // A full buffer means the path was cut: try again with a larger one.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

CString AfxGetProgramTitle() {
    const std::wstring path = AfxGetModulePath(nullptr);
    const size_t nameStart = path.find_last_of(L"\\/") + 1;  // npos + 1 == 0
    const size_t dot = path.rfind(L'.');
    const size_t nameEnd = (dot == std::wstring::npos || dot < nameStart) ? path.size() : dot;
    return FromWide(std::wstring_view(path).substr(nameStart, nameEnd - nameStart));
}

CString AfxGetAppName() {
    if (const CWinApp* app = AfxGetApp()) return app->GetAppName();
    return AfxGetProgramTitle();
}

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr)), m_appName(AfxGetProgramTitle()) {
    if (!g_app) g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) {
            m_exitCode = -1;
            break;
        }
        if (got == 0) {
            m_exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (CWnd::WalkPreTranslateTree(nullptr, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() { return m_exitCode; }

bool CWinApp::OnCmdMsg(UINT id) {
    for (const AppCommandEntry& entry : GetCommandTable()) {
        if (entry.id != id) continue;
        (this->*entry.handler)();
        return true;
    }
    return false;
}

int CWinApp::GetArgumentCount() const { return __argc; }

CString CWinApp::GetArgument(int index) const {
    if (index < 0 || index >= __argc || !__argv) return {};
    return CString(__argv[index]);
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : ::GetModuleHandleW(nullptr); }

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

void AfxAbort() {
    // Not abort(): in a windowed program the runtime's abort may show a
    // message box of its own and wait for it. Not exit() or ExitProcess
    // either: their library notifications can wait for a lock that another
    // thread, stopped in the middle, still holds.
    ::TerminateProcess(::GetCurrentProcess(), kAbortExitCode);
    // Termination is asynchronous; this thread must not go on meanwhile.
    std::_Exit(static_cast<int>(kAbortExitCode));
}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* const app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
