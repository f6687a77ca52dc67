#include "tests/support/NotifyWindow.h"

#include "net/ChatClient.h"
#include "tests/support/MessagePump.h"

namespace {
const wchar_t kClassName[] = L"WobbleNotifyWindow";
}

NotifyWindow::NotifyWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);  // fails harmlessly once registered
    m_window =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NotifyWindow::~NotifyWindow() { Destroy(); }

void NotifyWindow::Destroy() {
    if (m_window) DestroyWindow(m_window);
    m_window = nullptr;
}

bool NotifyWindow::PumpUntil(size_t count, DWORD timeoutMs) {
    return PumpMessagesUntil([&] { return m_received.size() >= count; }, timeoutMs);
}

LRESULT CALLBACK NotifyWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<NotifyWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_CHAT_PACKET) {
        self->m_received.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
