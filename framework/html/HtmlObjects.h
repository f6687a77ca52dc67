// CHtmlUnknown, CHtmlDocument, CHtmlElement, CHtmlElement2: the pane's
// document and body as counted objects, shaped like the browser document
// interfaces a host of the WebBrowser control calls
// (IHTMLDocument2::get_body, IHTMLElement::insertAdjacentHTML and
// IHTMLElement2's scroll properties), so code written for those reads the
// same here.
//
//   ComPtr<CHtmlDocument> document = view.GetHtmlDocument();
//   ComPtr<CHtmlElement> body;
//   if (document && SUCCEEDED(document->get_body(body.Receive())) && body) {
//       body->insertAdjacentHTML(L"beforeEnd", L"<b>안녕</b>");
//       ComPtr<CHtmlElement2> scroller;
//       if (SUCCEEDED(body->QueryInterface(scroller.Receive()))) scroller->put_scrollTop(0);
//   }
//
// Not COM: no IUnknown, no IIDs, no marshalling; one thread. The objects are
// reference counted, and held with the program's one counted reference
// (ComPtr), so that a holder (the chat view's m_pDocument) may keep a
// document as long as it likes. Once the view has replaced the document or
// is gone, the document is detached: its operations fail with E_UNEXPECTED
// instead of reaching a window that is no longer there.
#pragma once

#include "framework/ComObject.h"
#include "framework/html/HtmlDocument.h"

#include <windows.h>

#include <memory>
#include <string_view>

// What every counted pane object answers.
class CHtmlUnknown {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~CHtmlUnknown() = default;
};

// The scroll box of an element, as IHTMLElement2 has it.
class CHtmlElement2 : public CHtmlUnknown {
public:
    virtual HRESULT get_scrollHeight(long* height) = 0;
    virtual HRESULT get_clientHeight(long* height) = 0;
    virtual HRESULT get_scrollTop(long* top) = 0;
    // Clamped to the scroll range, as a browser does.
    virtual HRESULT put_scrollTop(long top) = 0;

protected:
    ~CHtmlElement2() = default;
};

class CHtmlElement : public CHtmlUnknown {
public:
    // `where` is one of the four position words, in any letter case. Only
    // "beforeEnd" (the end of the element's content) is supported; the
    // others answer E_NOTIMPL and anything else E_INVALIDARG.
    virtual HRESULT insertAdjacentHTML(std::wstring_view where, std::wstring_view html) = 0;
    virtual HRESULT QueryInterface(CHtmlElement2** element) = 0;

protected:
    ~CHtmlElement() = default;
};

class CHtmlDocument : public CHtmlUnknown {
public:
    virtual HRESULT get_body(CHtmlElement** body) = 0;

protected:
    ~CHtmlDocument() = default;
};

// What a document tells the window that shows it.
class CHtmlDocumentHost {
public:
    // Content was added from `from` to the end: new image requests, a new
    // scroll height, something to announce.
    virtual void OnDocumentAppended(html::TextPosition from) = 0;
    virtual void OnDocumentScrolled() = 0;

protected:
    ~CHtmlDocumentHost() = default;
};

// The document object a view makes per navigation: owns the engine's
// document and forwards changes to its host until detached.
class CHtmlDocumentObject final : public CHtmlDocument {
public:
    static ComPtr<CHtmlDocumentObject> Create(CHtmlDocumentHost& host);

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT get_body(CHtmlElement** body) override;

    html::Document& Engine() { return *m_engine; }
    bool IsAttached() const { return m_host != nullptr; }
    // From now on every operation fails; the host is never called again.
    void Detach() { m_host = nullptr; }

    // The body's operations, for the body object.
    HRESULT AppendToBody(std::wstring_view html);
    HRESULT SetScrollTop(long top);

private:
    explicit CHtmlDocumentObject(CHtmlDocumentHost& host);
    ~CHtmlDocumentObject();

    ULONG m_references = 0;
    CHtmlDocumentHost* m_host;
    std::unique_ptr<html::Document> m_engine;
};
