// The one message pump of the tests: runs what is waiting for this thread,
// optionally as a modal dialog's loop does (pre-translation from the target
// window up to the dialog, then the dialog manager), so typed keys and
// posted messages reach windows as they would in the program.
#pragma once

#include <windows.h>

#include <functional>

// Dispatches every message waiting now. With `dialog`, as that dialog's
// modal loop would. False when it met WM_QUIT, which it posts again so the
// loop that owns it still ends.
bool DispatchWaitingMessages(HWND dialog = nullptr);

// Dispatches messages until `done`, at most `timeoutMs`; true when done.
// It sleeps only until the next message or a short poll, since `done` may
// wait on another thread.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs, HWND dialog = nullptr);

// Dispatches messages for `ms`, for tests that expect nothing to arrive.
inline void PumpMessagesFor(DWORD ms, HWND dialog = nullptr) {
    PumpMessagesUntil([] { return false; }, ms, dialog);
}
