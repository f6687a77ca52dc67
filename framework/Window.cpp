#include "framework/Window.h"

#include "framework/AnsiText.h"

#include <string>

bool CWindow::SetWindowText(const char* text) {
    return ::SetWindowTextW(m_hWnd, AnsiToWide(text).c_str()) != FALSE;
}

CString CWindow::GetWindowText() const {
    // The length is an upper bound; the copy tells the real one.
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    return WideToAnsi(text.data(), copied);
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
