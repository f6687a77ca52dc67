#include "chatwnd/SendEdit.h"

#include "framework/AccessibleName.h"

#include <string>

IMPLEMENT_DYNAMIC(CSendEdit, CEdit)

BEGIN_MESSAGE_MAP(CSendEdit, CEdit)
ON_WM_CHAR()
ON_WM_KEYDOWN()
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

namespace {

constexpr UINT kCarriageReturn = 13;

}  // namespace

void CSendEdit::OnChar(UINT character, UINT, UINT) {
    // Sent rather than posted: by the time the edit control sees the Enter
    // character the parent has already taken the text and emptied the box, so
    // the character lands in an empty box and (without ES_WANTRETURN) adds
    // no line break.
    if (character == kCarriageReturn) GetParent().SendMessage(WM_CHAT_SEND, 0, 0);
    Default();
}

void CSendEdit::OnKeyDown(UINT, UINT, UINT) {
    // Enter's key-down must reach the control unchanged: it is the edit
    // control that turns it into the character handled above.
    Default();
}

LRESULT CSendEdit::OnGetObject(WPARAM wParam, LPARAM lParam) {
    static const std::wstring name = L"메시지 입력";
    LRESULT answer = 0;
    return AnswerWithAccessibleName(m_hWnd, wParam, lParam, name, answer) ? answer : Default();
}
