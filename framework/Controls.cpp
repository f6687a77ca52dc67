#include "framework/Controls.h"

#include "framework/TextConversion.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)

BEGIN_MESSAGE_MAP(CButton, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

void CEdit::ReplaceSel(const char* text, bool canUndo) {
    const std::wstring wide = ToWide(text);
    SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(wide.c_str()));
}
