#include "framework/Window.h"

#include "framework/TextConversion.h"

#include <algorithm>
#include <string>

bool CWindow::SetWindowText(const char* text) { return ::SetWindowTextW(m_hWnd, ToWide(text).c_str()) != FALSE; }

CString CWindow::GetWindowText() const {
    // The length is an upper bound; the copy tells the real one.
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    return FromWide(std::wstring_view(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0));
}

CRect CWindow::GetClientRect() const {
    CRect rect;
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

CRect CWindow::GetWindowRect() const {
    CRect rect;
    ::GetWindowRect(m_hWnd, &rect);
    return rect;
}

void CWindow::CenterWindow() {
    const bool child = (GetStyle() & WS_CHILD) != 0;
    CWindow centreOn = child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    if (!child && centreOn && (!centreOn.IsWindowVisible() || centreOn.IsIconic())) centreOn = nullptr;

    CRect bounds;
    CRect around;
    if (child) {
        bounds = centreOn.GetClientRect();
        around = bounds;
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        const HMONITOR nearest = ::MonitorFromWindow(centreOn ? centreOn.m_hWnd : m_hWnd, MONITOR_DEFAULTTONEAREST);
        if (!::GetMonitorInfoW(nearest, &monitor)) return;
        bounds = monitor.rcWork;
        around = centreOn ? centreOn.GetWindowRect() : bounds;
    }
    const CRect rect = GetWindowRect();
    int left = (around.left + around.right) / 2 - rect.Width() / 2;
    int top = (around.top + around.bottom) / 2 - rect.Height() / 2;
    // Kept within the bounds, its top-left corner winning when it is larger.
    left = std::max<int>(bounds.left, std::min<int>(left, bounds.right - rect.Width()));
    top = std::max<int>(bounds.top, std::min<int>(top, bounds.bottom - rect.Height()));
    SetWindowPos(nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
