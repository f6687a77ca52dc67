#include "tests/support/MessagePump.h"

#include "framework/Wnd.h"

#include <algorithm>

namespace {

constexpr DWORD kPollMs = 5;

bool TakenByDialog(HWND dialog, MSG& msg) {
    return dialog && (CWnd::WalkPreTranslateTree(dialog, &msg) || ::IsDialogMessageW(dialog, &msg));
}

}  // namespace

bool DispatchWaitingMessages(HWND dialog) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (TakenByDialog(dialog, msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs, HWND dialog) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (!DispatchWaitingMessages(dialog)) return false;
        if (done()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kPollMs));
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}
