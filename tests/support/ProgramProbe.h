// Probes of a running copy of the program from another process, as a person
// would check it: does the window answer, does it paint what it was sent,
// does Esc still end it.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Screen pixels of a window's rectangle, as COLORREF values, row by row.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    int CountOf(COLORREF color) const;
};

// The chat window's conversation pane.
HWND ChatPane(HWND chatWindow);
// What the chat window's input box holds.
std::wstring InputText(HWND chatWindow);
// Repaints `window` and its children now, then grabs what the screen shows
// of it. Nothing when the window is gone or the screen cannot be read.
std::optional<Screenshot> RepaintAndCapture(HWND window);
// Whether the window's thread takes a sent message within `timeoutMs`: a
// hung or dead window does not.
bool AnswersWithin(HWND window, DWORD timeoutMs);
// Presses Esc in the chat window's input box, as the user would.
void PressEscape(HWND chatWindow);
// Whether TypeLine returns at once, its characters queued as the keyboard's
// are, or once the window has handled the line's Enter.
enum class Typing { Queued, Handled };
// Types a line into the chat window's input box and ends it with Enter, one
// character message per UTF-16 unit, as the keyboard delivers them.
void TypeLine(HWND chatWindow, std::wstring_view text, Typing typing = Typing::Queued);
// How often `part` occurs in `text`.
size_t Occurrences(std::wstring_view text, std::wstring_view part);
// What the pane shows, read as a user copies it: select all and copy through
// the pane's own keys, then the clipboard.
std::wstring CopiedPaneText(HWND chatWindow);
// The pane's copied text once it holds every one of `parts`, or what it held
// last when `timeoutMs` ran out first.
std::wstring WaitForPaneText(HWND chatWindow, std::initializer_list<std::wstring_view> parts, DWORD timeoutMs);
// Waits until the pane shows at least `pixels` pixels of `color`; true when
// it does within `timeoutMs`.
bool WaitUntilPaneShows(HWND chatWindow, COLORREF color, int pixels, DWORD timeoutMs);
