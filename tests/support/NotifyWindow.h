// NotifyWindow: a message-only window on the test thread that records the
// notifications posted to it, pumped with bounded waits.
#pragma once

#include <windows.h>

#include <vector>

class NotifyWindow {
public:
    struct Notification {
        WPARAM wParam;
        LPARAM lParam;
    };

    NotifyWindow();
    ~NotifyWindow();
    NotifyWindow(const NotifyWindow&) = delete;
    NotifyWindow& operator=(const NotifyWindow&) = delete;

    HWND Handle() const { return m_window; }
    void Destroy();
    // Dispatches messages until `count` notifications have arrived in all,
    // or `timeoutMs` has passed. True if the count was reached.
    bool PumpUntil(size_t count, DWORD timeoutMs);
    // Dispatches messages for `ms`, for tests that expect nothing to arrive.
    void PumpFor(DWORD ms) { PumpUntil(SIZE_MAX, ms); }
    const std::vector<Notification>& Received() const { return m_received; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    std::vector<Notification> m_received;
};
