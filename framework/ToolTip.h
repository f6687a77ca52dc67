// CToolTipCtrl: the common controls' tooltip window. Each method is one
// message to the control, refused when there is no window yet.
#pragma once

#include "framework/Wnd.h"

#include <windows.h>
#include <commctrl.h>

class CToolTipCtrl : public CWnd {
public:
    // A tooltip owned by `owner`, with TTS_ styles added to WS_POPUP.
    bool Create(HWND owner, DWORD style = 0);

    void Activate(bool active) {
        if (IsWindow()) SendMessage(TTM_ACTIVATE, active);
    }
    // Answers the width before; -1 when there is no window.
    int SetMaxTipWidth(int width) {
        return IsWindow() ? static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width)) : -1;
    }
    // Lets the tooltip see a mouse message of one of its tools.
    void RelayEvent(MSG* msg) {
        if (IsWindow()) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
};
