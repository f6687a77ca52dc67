#include "app/ChatApp.h"

#include "chatwnd/ChatDlg.h"

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace {

// No namespace prefix: one copy per logon session, which is per signed-in
// user.
constexpr wchar_t kSingleInstanceMutex[] = L"WobbleChat";

// The framework's registry key; the program stores nothing under it.
constexpr char kRegistryKey[] = "로컬 응용 프로그램 마법사에서 생성한 응용 프로그램";

// True when another copy holds the name. The handle is never closed: the name
// must stay taken for as long as this copy runs, and the system frees it with
// the process. When no mutex can be made at all there is no lock to respect,
// and starting beats refusing.
bool AnotherCopyRuns() {
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kSingleInstanceMutex);
    return mutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

BOOL CChatApp::InitInstance() {
    // Silently: the first copy is not brought forward either.
    if (AnotherCopyRuns()) return FALSE;

    ::InitCommonControls();
    CWinApp::InitInstance();
    // The framework hosts no ActiveX controls (the chat view is a native
    // pane), so there is no control container to enable.
    SetRegistryKey(kRegistryKey);

    // A failed start is not looked at: the connection then fails, quietly.
    WSADATA socketsData;
    ::WSAStartup(MAKEWORD(2, 2), &socketsData);

    // The window's thread is a COM apartment, so that the objects it answers
    // a screen reader with can be handed to the reader's process.
    const HRESULT apartment = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    CChatDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // Before the window object, and with it the connection, goes. The
    // connection's teardown waits for its reader without a time limit, so
    // nothing is freed under a running reader, and the wait ends either way:
    // if this was the library's last user, the shutdown has reset the socket
    // and the reader's receive has failed; if not, the teardown's own close
    // ends the receive.
    ::WSACleanup();
    if (SUCCEEDED(apartment)) ::CoUninitialize();
    return FALSE;
}

std::span<const AppCommandEntry> CChatApp::GetCommandTable() const {
    static constexpr AppCommandEntry table[] = {{ID_HELP, &CWinApp::OnHelp}};
    return table;
}
