#include "framework/Controls.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)

BEGIN_MESSAGE_MAP(CButton, CWnd)
ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
