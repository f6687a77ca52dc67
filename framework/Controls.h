// CButton, CEdit, CStatic: objects for the standard controls, usually
// attached to a dialog's controls by data exchange. Each method is one
// message to the control.
#pragma once

#include "framework/CString.h"
#include "framework/Wnd.h"

#include <windows.h>

class CButton : public CWnd {
public:
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetState(bool highlight) { SendMessage(BM_SETSTATE, highlight); }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT style, bool redraw = true) { SendMessage(BM_SETSTYLE, style, redraw); }

protected:
    // Draws an owner-drawn button; reached through the parent's reflected
    // WM_DRAWITEM.
    virtual void DrawItem(LPDRAWITEMSTRUCT item);

    DECLARE_MESSAGE_MAP()
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)

public:
    void SetSel(int start, int end, bool noScroll = false) {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
        if (!noScroll) SendMessage(EM_SCROLLCARET);
    }
    void GetSel(int& start, int& end) const {
        DWORD first = 0;
        DWORD last = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
        start = static_cast<int>(first);
        end = static_cast<int>(last);
    }
    // Text of the ANSI code page, in place of the selection.
    void ReplaceSel(const char* text, bool canUndo = false);
    void LimitText(int maxCharacters) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxCharacters)); }
    bool SetReadOnly(bool readOnly) { return SendMessage(EM_SETREADONLY, readOnly) != 0; }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
};

class CStatic : public CWnd {
public:
    // The previous bitmap comes back; the caller owns both.
    HBITMAP SetBitmap(HBITMAP bitmap) {
        return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
    HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
    HICON SetIcon(HICON icon) {
        return reinterpret_cast<HICON>(SendMessage(STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
};
