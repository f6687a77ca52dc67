#include "display/ChatView.h"

#include "framework/TextConversion.h"
#include "framework/WinApp.h"

#include <new>
#include <string>
#include <utility>

IMPLEMENT_DYNCREATE(CChatView, CHtmlView)

BEGIN_MESSAGE_MAP(CChatView, CHtmlView)
END_MESSAGE_MAP()

CChatView::CChatView() {
    SetContextMenuTexts("복사", "모두 선택");
    SetAccessibleTexts("대화 내용", "열기");
}

// The document reference goes with the members, before the base view.
CChatView::~CChatView() = default;

BOOL CChatView::LoadFromResource(UINT resourceId) {
    // The path as 8-bit text: a character that code page 949 cannot spell
    // becomes "?", which the pane still takes for this program.
    const CString path = FromWide(AfxGetModulePath(AfxGetResourceHandle()));
    if (path.IsEmpty()) return FALSE;
    CString url;
    url.Format("res://%s/%u", path.GetString(), resourceId);
    return Navigate(url) ? TRUE : FALSE;
}

void CChatView::OnDocumentComplete(const char* url) {
    // Whichever navigation this was for, the view's current document is the
    // one appends go to.
    m_pDocument = GetHtmlDocument();
    CHtmlView::OnDocumentComplete(url);
    AppendPendingFragments();
}

bool CChatView::AppendHtml(CString fragment) {
    try {
        if (!m_pDocument) {
            m_pendingFragments.push_back(std::move(fragment));
            return true;
        }
        fragment.Replace("\n", "<br>&nbsp");
        return InsertIntoBody(fragment);
    } catch (const std::bad_alloc&) {
        // Appends run inside window procedures, and an exception must not
        // unwind through the system's frames: memory running out here ends
        // the program at once.
        AfxAbort();
    }
}

bool CChatView::InsertIntoBody(const CString& fragment) {
    ComPtr<CHtmlElement> body;
    // A document may answer success and still give no body: nothing to
    // insert into, which counts as failure.
    if (FAILED(m_pDocument->get_body(body.Receive())) || !body) return false;
    // Refused insertions are not looked at: the body is scrolled all the same.
    body->insertAdjacentHTML(L"beforeEnd", ToWide(fragment));
    ScrollToBottom(body);
    return true;
}

void CChatView::AppendPendingFragments() {
    if (!m_pDocument) return;
    std::vector<CString> pending = std::exchange(m_pendingFragments, {});
    for (CString& fragment : pending) AppendHtml(std::move(fragment));
}

bool CChatView::ScrollToBottom(ComPtr<CHtmlElement> body) {
    ComPtr<CHtmlElement2> scroller;
    if (FAILED(body->QueryInterface(scroller.Receive())) || !scroller) return false;
    long scrollHeight = 0;
    long clientHeight = 0;
    scroller->get_scrollHeight(&scrollHeight);
    scroller->get_clientHeight(&clientHeight);
    if (scrollHeight - clientHeight > 0) scroller->put_scrollTop(scrollHeight - clientHeight);
    return true;
}
