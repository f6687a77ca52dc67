#include "tests/support/ProgramProbe.h"

#include "tests/support/Clipboard.h"

#include <algorithm>
#include <cstdint>

namespace {

// The chat window's conversation pane and input box, by control identifier.
constexpr int kChatPaneId = 0xFFFF;
constexpr int kInputBoxId = 1001;
constexpr DWORD kPollMs = 100;
constexpr WPARAM kControlA = 1;
constexpr WPARAM kControlC = 3;

}  // namespace

int Screenshot::CountOf(COLORREF color) const {
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), color));
}

HWND ChatPane(HWND chatWindow) { return ::GetDlgItem(chatWindow, kChatPaneId); }

// Asked for, since another process's control text is not read by
// GetWindowText.
std::wstring InputText(HWND chatWindow) {
    const HWND input = ::GetDlgItem(chatWindow, kInputBoxId);
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(input, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kPollMs * 20, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(input, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          kPollMs * 20, &copied);
    text.resize(copied);
    return text;
}

std::optional<Screenshot> RepaintAndCapture(HWND window) {
    RECT rect{};
    if (!::IsWindow(window) || !::GetWindowRect(window, &rect)) return std::nullopt;
    // Another thread's window: the update is sent to it and painted before
    // this returns.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Screenshot shot;
    shot.width = rect.right - rect.left;
    shot.height = rect.bottom - rect.top;
    if (shot.width <= 0 || shot.height <= 0) return std::nullopt;

    const HDC screen = ::GetDC(nullptr);
    if (!screen) return std::nullopt;
    const HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = memory ? ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool copied = false;
    if (bitmap) {
        const HGDIOBJ old = ::SelectObject(memory, bitmap);
        copied = ::BitBlt(memory, 0, 0, shot.width, shot.height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        ::SelectObject(memory, old);
        ::GdiFlush();
    }
    if (copied) {
        const auto* bgrx = static_cast<const uint32_t*>(bits);
        shot.pixels.reserve(static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height));
        for (size_t i = 0; i < static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height); ++i) {
            const uint32_t p = bgrx[i];
            shot.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (memory) ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!copied) return std::nullopt;
    return shot;
}

bool AnswersWithin(HWND window, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &result) != 0;
}

void PressEscape(HWND chatWindow) {
    const HWND input = ::GetDlgItem(chatWindow, kInputBoxId);
    const HWND target = input ? input : chatWindow;
    const UINT scanCode = ::MapVirtualKeyW(VK_ESCAPE, MAPVK_VK_TO_VSC);
    ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1 | (scanCode << 16));
    ::PostMessageW(target, WM_KEYUP, VK_ESCAPE, 1 | (scanCode << 16) | 0xC0000000u);
}

// The characters go through the window's message loop, as typed ones do, so
// that the dialog manager has met the box before Enter: a multi-line edit
// takes Enter for a line break until then. To be handled before returning,
// Enter waits until the line is in the box and is then sent.
void TypeLine(HWND chatWindow, std::wstring_view text, Typing typing) {
    const HWND input = ::GetDlgItem(chatWindow, kInputBoxId);
    for (const wchar_t c : text) ::PostMessageW(input, WM_CHAR, c, 1);
    if (typing == Typing::Queued) {
        ::PostMessageW(input, WM_CHAR, L'\r', 1);
        return;
    }
    const ULONGLONG deadline = ::GetTickCount64() + kPollMs * 20;
    while (!InputText(chatWindow).ends_with(text) && ::GetTickCount64() < deadline) ::Sleep(kPollMs / 10);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(input, WM_CHAR, L'\r', 1, SMTO_ABORTIFHUNG, kPollMs * 20, &result);
}

size_t Occurrences(std::wstring_view text, std::wstring_view part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring_view::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// Sent rather than posted: the copy is on the clipboard once they return. A
// click in the pane's corner then clears the selection, so the pane paints
// as before.
std::wstring CopiedPaneText(HWND chatWindow) {
    DWORD_PTR result = 0;
    const auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        ::SendMessageTimeoutW(ChatPane(chatWindow), message, wParam, lParam, SMTO_ABORTIFHUNG, kPollMs * 20, &result);
    };
    send(WM_CHAR, kControlA, 1);
    send(WM_CHAR, kControlC, 1);
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    send(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    return ClipboardText();
}

std::wstring WaitForPaneText(HWND chatWindow, std::initializer_list<std::wstring_view> parts, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const std::wstring text = CopiedPaneText(chatWindow);
        const bool holdsAll = std::all_of(
            parts.begin(), parts.end(), [&](std::wstring_view part) { return text.find(part) != std::wstring::npos; });
        if (holdsAll || ::GetTickCount64() >= deadline) return text;
        ::Sleep(kPollMs * 2);
    }
}

bool WaitUntilPaneShows(HWND chatWindow, COLORREF color, int pixels, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        const std::optional<Screenshot> shot = RepaintAndCapture(ChatPane(chatWindow));
        if (shot && shot->CountOf(color) >= pixels) return true;
        ::Sleep(kPollMs);
    } while (::GetTickCount64() < deadline);
    return false;
}
