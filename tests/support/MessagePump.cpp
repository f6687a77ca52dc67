#include "tests/support/MessagePump.h"

#include <algorithm>

namespace {

constexpr DWORD kPollMs = 5;

}  // namespace

bool DispatchWaitingMessages(const MessageFilter& takenFirst) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (takenFirst && takenFirst(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs, const MessageFilter& takenFirst) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (!DispatchWaitingMessages(takenFirst)) return false;
        if (done()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kPollMs));
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}
