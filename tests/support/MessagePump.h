// The one message pump of the tests: runs what is waiting for this thread,
// optionally offering each message first to a filter, such as a modal
// dialog's loop (pre-translation from the target window up to the dialog,
// then the dialog manager), so typed keys and posted messages reach windows
// as they would in the program.
#pragma once

#include <windows.h>

#include <functional>

// Offered each message before the pump translates and dispatches it; true
// when it took the message.
using MessageFilter = std::function<bool(MSG&)>;

// Dispatches every message waiting now, past `takenFirst` when there is one.
// False when it met WM_QUIT, which it posts again so the loop that owns it
// still ends.
bool DispatchWaitingMessages(const MessageFilter& takenFirst = {});

// Dispatches messages until `done`, at most `timeoutMs`; true when done.
// It sleeps only until the next message or a short poll, since `done` may
// wait on another thread.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs, const MessageFilter& takenFirst = {});

// Dispatches messages for `ms`, for tests that expect nothing to arrive.
inline void PumpMessagesFor(DWORD ms) {
    PumpMessagesUntil([] { return false; }, ms);
}

// The filter of `dialog`'s modal loop, as the framework runs it. Kept in a
// file of its own (DialogLoop.cpp), the one part of the pump that needs the
// framework, so that a program pumping plain windows links none of it.
MessageFilter AsDialogLoop(HWND dialog);
