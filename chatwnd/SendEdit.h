// CSendEdit: the chat window's input box. A multi-line edit in which Enter
// asks the parent to send the typed line (WM_CHAT_SEND) and Ctrl+Enter, which
// types a line feed rather than a carriage return, breaks the line.
//
// The box sends nothing itself: the parent owns the connection, reads the
// text and empties the box while the message is being handled.
#pragma once

#include "framework/Controls.h"

#include <windows.h>

// Sent, not posted, to the input box's parent when Enter is typed; wParam and
// lParam are 0, and the answer is not looked at.
constexpr UINT WM_CHAT_SEND = WM_USER + 3;

class CSendEdit : public CEdit {
    DECLARE_DYNAMIC(CSendEdit)

protected:
    void OnChar(UINT character, UINT repeatCount, UINT flags);
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags);

    // Names the box for screen readers, since it has no label.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
