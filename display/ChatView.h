// CChatView: the pane that shows the conversation. An HTML view that loads
// the program's chat page (an HTML resource), keeps the page's document once
// it has loaded, and appends HTML fragments at the end of its body, each
// followed by a scroll to the bottom.
//
// The view holds no text of its own beyond fragments that arrive before the
// page has loaded: those wait, in order, and go in as soon as it has. (A
// server that answers quickly would otherwise have its first lines lost.)
// Old lines are never removed. The view deletes itself when its window is
// destroyed, so it is always made with new. Its context menu is captioned in
// the program's Korean.
#pragma once

#include "framework/CString.h"
#include "framework/html/HtmlObjects.h"
#include "framework/html/HtmlView.h"

#include <windows.h>

#include <vector>

class CChatView : public CHtmlView {
    DECLARE_DYNCREATE(CChatView)

public:
    CChatView();
    ~CChatView() override;

    // Navigates to the HTML resource `resourceId` of the module resources are
    // loaded from. FALSE when the module's path cannot be had, or the
    // resource cannot be navigated to; the view then stays empty.
    BOOL LoadFromResource(UINT resourceId);

    // Appends an HTML fragment (code page 949 text) at the end of the body
    // and scrolls to the bottom. Every line feed, markup included, becomes
    // "<br>&nbsp". Before the page has loaded, the fragment is kept for then
    // and the result is true. False only when the body cannot be had. Memory
    // running out on the way ends the program through AfxAbort.
    bool AppendHtml(CString fragment);

    // Scrolls `body` so that its last line shows, when its content is taller
    // than its box. False when the element has no scroll box.
    bool ScrollToBottom(ComPtr<CHtmlElement> body);

    ComPtr<CHtmlDocument> m_pDocument;

protected:
    void OnDocumentComplete(const char* url) override;

    DECLARE_MESSAGE_MAP()

private:
    bool InsertIntoBody(const CString& fragment);
    void AppendPendingFragments();

    std::vector<CString> m_pendingFragments;
};
