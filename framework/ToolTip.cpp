#include "framework/ToolTip.h"

bool CToolTipCtrl::Create(HWND owner, DWORD style) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    if (!registered) return false;
    // A tooltip is a top-level popup: its "parent" is its owner.
    return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CRect(), owner, 0);
}
