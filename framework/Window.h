// CWindow: a borrowed window handle with the thin wrappers window code calls.
//
// A value type that owns nothing, so GetDlgItem and GetParent can hand one
// out for any window, attached to an object or not (the classic framework
// made temporary objects for that and collected them when idle). CWnd adds
// the object side: message maps, subclassing and lifetime.
//
// Each wrapper is one call. Text goes through code page 949 (TextConversion.h)
// into the window's wide text.
#pragma once

#include "framework/CString.h"
#include "framework/Geometry.h"

#include <windows.h>

class CWindow {
public:
    CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    CWindow GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWindow GetParent() const { return ::GetParent(m_hWnd); }
    // The next (or previous) tab-stop control of this dialog after `control`.
    CWindow GetNextDlgTabItem(HWND control, bool previous = false) const {
        return ::GetNextDlgTabItem(m_hWnd, control, previous);
    }

    bool SetWindowText(const char* text);
    CString GetWindowText() const;
    void GetWindowText(CString& text) const { text = GetWindowText(); }

    bool MoveWindow(int x, int y, int width, int height, bool repaint = true) {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint) != FALSE;
    }
    bool MoveWindow(const RECT& rect, bool repaint = true) {
        return MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
    bool SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags) != FALSE;
    }
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    // Centres a top-level window on its owner, or on the work area when the
    // owner is hidden or minimised, kept within the owner's work area; a
    // child window on its parent.
    void CenterWindow();

    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, bool erase = true) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    bool ShowWindow(int command) { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
    bool IsZoomed() const { return ::IsZoomed(m_hWnd) != FALSE; }
    bool EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    CWindow SetFocus() { return ::SetFocus(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    // A null handle would make this a thread message, so it is refused.
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return m_hWnd && ::PostMessageW(m_hWnd, message, wParam, lParam);
    }

    bool DestroyWindow() { return m_hWnd && ::DestroyWindow(m_hWnd); }
    HMENU GetSystemMenu(bool revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HICON SetIcon(HICON icon, bool big) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }

    HWND m_hWnd;
};
