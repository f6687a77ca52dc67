#include "framework/html/HtmlObjects.h"

namespace {

constexpr std::wstring_view kBeforeEnd = L"beforeEnd";
constexpr std::wstring_view kOtherPositions[] = {L"beforeBegin", L"afterBegin", L"afterEnd"};

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The body element: both element interfaces on one object, as a browser's
// element answers both. It keeps its document alive.
class CBodyElement final : public CHtmlElement, public CHtmlElement2 {
public:
    explicit CBodyElement(CHtmlDocumentObject& document) : m_document(ComPtr<CHtmlDocumentObject>::Hold(&document)) {}

    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override {
        const ULONG remaining = --m_references;
        if (remaining == 0) delete this;
        return remaining;
    }

    HRESULT insertAdjacentHTML(std::wstring_view where, std::wstring_view html) override {
        if (EqualsNoCase(where, kBeforeEnd)) return m_document->AppendToBody(html);
        for (const std::wstring_view other : kOtherPositions) {
            if (EqualsNoCase(where, other)) return E_NOTIMPL;
        }
        return E_INVALIDARG;
    }

    HRESULT QueryInterface(CHtmlElement2** element) override {
        if (!element) return E_POINTER;
        *element = nullptr;
        if (!m_document->IsAttached()) return E_NOINTERFACE;
        *element = this;
        AddRef();
        return S_OK;
    }

    HRESULT get_scrollHeight(long* height) override {
        return Read(height, [](html::Document& engine) { return engine.ScrollHeight(); });
    }
    HRESULT get_clientHeight(long* height) override {
        return Read(height, [](html::Document& engine) { return engine.ClientHeight(); });
    }
    HRESULT get_scrollTop(long* top) override {
        return Read(top, [](html::Document& engine) { return engine.ScrollTop(); });
    }
    HRESULT put_scrollTop(long top) override { return m_document->SetScrollTop(top); }

private:
    ~CBodyElement() = default;

    template <typename Getter>
    HRESULT Read(long* value, Getter getter) {
        if (!value) return E_POINTER;
        *value = 0;
        if (!m_document->IsAttached()) return E_UNEXPECTED;
        *value = static_cast<long>(getter(m_document->Engine()));
        return S_OK;
    }

    ULONG m_references = 0;
    ComPtr<CHtmlDocumentObject> m_document;
};

}  // namespace

CHtmlDocumentObject::CHtmlDocumentObject(CHtmlDocumentHost& host)
    : m_host(&host), m_engine(std::make_unique<html::Document>()) {}

CHtmlDocumentObject::~CHtmlDocumentObject() = default;

ComPtr<CHtmlDocumentObject> CHtmlDocumentObject::Create(CHtmlDocumentHost& host) {
    return ComPtr<CHtmlDocumentObject>::Hold(new CHtmlDocumentObject(host));
}

ULONG CHtmlDocumentObject::AddRef() { return ++m_references; }

ULONG CHtmlDocumentObject::Release() {
    const ULONG remaining = --m_references;
    if (remaining == 0) delete this;
    return remaining;
}

HRESULT CHtmlDocumentObject::get_body(CHtmlElement** body) {
    if (!body) return E_POINTER;
    *body = nullptr;
    if (!m_host) return E_UNEXPECTED;
    CHtmlElement* const element = new CBodyElement(*this);
    element->AddRef();
    *body = element;
    return S_OK;
}

HRESULT CHtmlDocumentObject::AppendToBody(std::wstring_view html) {
    if (!m_host) return E_UNEXPECTED;
    const html::TextPosition from = m_engine->EndPosition();
    m_engine->AppendHtml(std::u16string_view(reinterpret_cast<const char16_t*>(html.data()), html.size()));
    m_host->OnDocumentAppended(from);
    return S_OK;
}

HRESULT CHtmlDocumentObject::SetScrollTop(long top) {
    if (!m_host) return E_UNEXPECTED;
    m_engine->SetScrollTop(static_cast<int>(top));
    m_host->OnDocumentScrolled();
    return S_OK;
}
