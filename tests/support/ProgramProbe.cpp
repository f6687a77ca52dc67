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

void TypeLine(HWND chatWindow, std::wstring_view text) {
    const HWND input = ::GetDlgItem(chatWindow, kInputBoxId);
    for (const wchar_t c : text) ::PostMessageW(input, WM_CHAR, c, 1);
    ::PostMessageW(input, WM_CHAR, L'\r', 1);
}

// Sent rather than posted: the copy is on the clipboard once they return.
std::wstring CopiedPaneText(HWND chatWindow) {
    DWORD_PTR result = 0;
    for (const WPARAM key : {kControlA, kControlC}) {
        ::SendMessageTimeoutW(ChatPane(chatWindow), WM_CHAR, key, 1, SMTO_ABORTIFHUNG, kPollMs * 20, &result);
    }
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
