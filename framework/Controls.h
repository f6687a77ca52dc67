// CButton, CEdit: objects for the standard controls, attached to a dialog's
// controls by data exchange or subclassed by the program's own controls,
// which derive from them.
#pragma once

#include "framework/Wnd.h"

#include <windows.h>

class CButton : public CWnd {
protected:
    // Draws an owner-drawn button; reached through the parent's reflected
    // WM_DRAWITEM.
    virtual void DrawItem(LPDRAWITEMSTRUCT item);

    DECLARE_MESSAGE_MAP()
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
};
