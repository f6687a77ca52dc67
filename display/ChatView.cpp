#include "display/ChatView.h"

#include "framework/WinApp.h"

#include <string>
#include <utility>

namespace {

// The text of the thread's ANSI code page, widened. A fragment may hold any
// bytes; invalid sequences become the default character, not an error.
std::wstring WidenThreadAnsi(const CString& text) {
    const int length = text.GetLength();
    if (length == 0) return {};
    const int needed = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.GetString(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.GetString(), length, wide.data(), needed);
    return wide;
}

}  // namespace

IMPLEMENT_DYNCREATE(CChatView, CHtmlView)

BEGIN_MESSAGE_MAP(CChatView, CHtmlView)
END_MESSAGE_MAP()

CChatView::CChatView() = default;

// The document reference goes with the members, before the base view.
CChatView::~CChatView() = default;

BOOL CChatView::LoadFromResource(UINT resourceId) {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(AfxGetResourceHandle(), path, MAX_PATH);
    // A full buffer means the path was cut, and a cut path names another file.
    if (length == 0 || length >= MAX_PATH) return FALSE;
    CString url;
    url.Format("res://%s/%u", path, resourceId);
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
    fragment.Replace("\n", "<br>&nbsp");
    if (!m_pDocument) {
        m_pendingFragments.push_back(std::move(fragment));
        return true;
    }
    return InsertIntoBody(fragment);
}

bool CChatView::InsertIntoBody(const CString& fragment) {
    CRefPtr<CHtmlElement> body;
    // A document may answer success and still give no body: nothing to
    // insert into, which counts as failure.
    if (FAILED(m_pDocument->get_body(&body)) || !body) return false;
    // Refused insertions are not looked at: the body is scrolled all the same.
    body->insertAdjacentHTML(L"beforeEnd", WidenThreadAnsi(fragment));
    ScrollToBottom(body);
    return true;
}

void CChatView::AppendPendingFragments() {
    if (!m_pDocument) return;
    std::vector<CString> pending = std::exchange(m_pendingFragments, {});
    for (const CString& fragment : pending) InsertIntoBody(fragment);
}

bool CChatView::ScrollToBottom(CRefPtr<CHtmlElement> body) {
    CRefPtr<CHtmlElement2> scroller;
    if (FAILED(body.QueryInterface(&scroller)) || !scroller) return false;
    long scrollHeight = 0;
    long clientHeight = 0;
    scroller->get_scrollHeight(&scrollHeight);
    scroller->get_clientHeight(&clientHeight);
    if (scrollHeight - clientHeight > 0) scroller->put_scrollTop(scrollHeight - clientHeight);
    return true;
}
