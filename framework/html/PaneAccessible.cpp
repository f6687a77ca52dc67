#include "framework/html/PaneAccessible.h"

#include "framework/AccessibleObject.h"

#include <oleacc.h>
#include <servprov.h>
#include <uiautomationcore.h>

#include <algorithm>
#include <climits>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace html {

// What every object given out shares with the pane: cut when it goes.
struct PaneLink {
    AccessiblePane* pane = nullptr;
    std::u16string name;
    std::u16string linkAction;
    IAccessible* document = nullptr;  // the pane's document object, while connected
};

namespace {

// Values of the UI Automation properties used here, as the system's
// headers define them.
constexpr PROPERTYID kLiveSettingProperty = 30135;
constexpr int kLiveSettingPolite = 1;
constexpr HRESULT kElementNotAvailable = static_cast<HRESULT>(0x80040201);  // UIA_E_ELEMENTNOTAVAILABLE

long ClampedCount(std::size_t count) { return static_cast<long>(std::min<std::size_t>(count, LONG_MAX)); }

// What every object of the pane has in common: the link to the pane.
class AccessibleBase : public CAccessibleObject {
public:
    explicit AccessibleBase(std::shared_ptr<PaneLink> link) : m_link(std::move(link)) {}

protected:
    bool IsConnected() const override {
        return m_link->pane != nullptr && m_link->pane->AccessibleDocument() != nullptr;
    }
    HWND Window() const override { return m_link->pane->AccessibleWindow(); }
    RECT ClientBounds(long id) override {
        const Rect bounds = Bounds(id);
        return RECT{bounds.left, bounds.top, bounds.right, bounds.bottom};
    }
    virtual Rect Bounds(long id) = 0;

    Document& Engine() const { return *m_link->pane->AccessibleDocument(); }
    Rect ClientArea() const {
        RECT client{};
        ::GetClientRect(Window(), &client);
        return Rect{client.left, client.top, client.right, client.bottom};
    }
    // A stretch of the text: read-only and selectable, selected where the
    // pane's selection touches it, offscreen while scrolled out of the pane.
    long TextState(TextRange range) const {
        long state = STATE_SYSTEM_READONLY | STATE_SYSTEM_SELECTABLE;
        if (range.Intersects(Engine().Selection())) state |= STATE_SYSTEM_SELECTED;
        if (!Engine().Bounds(range).Intersects(ClientArea())) state |= STATE_SYSTEM_OFFSCREEN;
        return state;
    }
    AccessiblePane& Pane() const { return *m_link->pane; }
    const PaneLink& Link() const { return *m_link; }
    const std::shared_ptr<PaneLink>& SharedLink() const { return m_link; }

private:
    std::shared_ptr<PaneLink> m_link;
};

// The child an IAccessible call about `from` reaches in `direction` among
// `count` siblings numbered from 1, or 0.
long SiblingOf(long from, long direction, long count) {
    switch (direction) {
    case NAVDIR_NEXT:
    case NAVDIR_DOWN: return from < count ? from + 1 : 0;
    case NAVDIR_PREVIOUS:
    case NAVDIR_UP: return from > 1 ? from - 1 : 0;
    default: return 0;
    }
}

long FirstOrLastChild(long direction, long count) {
    if (count == 0) return 0;
    return direction == NAVDIR_FIRSTCHILD ? 1 : direction == NAVDIR_LASTCHILD ? count : 0;
}

HRESULT SelectRange(AccessiblePane& pane, long flags, TextRange range) {
    if (flags & ~(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_REMOVESELECTION)) return E_INVALIDARG;
    if (flags & SELFLAG_TAKEFOCUS) ::SetFocus(pane.AccessibleWindow());
    if (flags & SELFLAG_TAKESELECTION) pane.SelectAccessibleRange(range);
    else if (flags & SELFLAG_REMOVESELECTION) pane.SelectAccessibleRange(TextRange{});
    return S_OK;
}

IDispatch* NewParagraph(const std::shared_ptr<PaneLink>& link, std::size_t index);

// A paragraph: static text; its simple children are its links and images.
class ParagraphAccessible final : public AccessibleBase {
public:
    ParagraphAccessible(std::shared_ptr<PaneLink> link, std::size_t index)
        : AccessibleBase(std::move(link)), m_index(index) {}

private:
    // After a new document a paragraph object may outlive its paragraph.
    bool Exists() { return m_index < Engine().ParagraphCount(); }
    TextRange Range() { return Engine().Paragraph(m_index); }
    std::vector<InlineItem> Items() { return Exists() ? Engine().InlineItems(Range()) : std::vector<InlineItem>{}; }
    std::optional<InlineItem> Item(long id) {
        std::vector<InlineItem> items = Items();
        if (id < 1 || static_cast<std::size_t>(id) > items.size()) return std::nullopt;
        return std::move(items[id - 1]);
    }
    TextRange RangeOf(long id) {
        if (id == CHILDID_SELF) return Exists() ? Range() : TextRange{};
        const std::optional<InlineItem> item = Item(id);
        return item ? item->range : TextRange{};
    }
    bool IsLink(long id) {
        const std::optional<InlineItem> item = Item(id);
        return item && item->kind == InlineItem::Kind::Link;
    }

    long ChildCount() override { return ClampedCount(Items().size()); }
    IDispatch* ChildObject(long) override { return nullptr; }
    IDispatch* Parent() override {
        if (Link().document) Link().document->AddRef();
        return Link().document;
    }
    long Role(long id) override {
        if (id == CHILDID_SELF) return ROLE_SYSTEM_STATICTEXT;
        return IsLink(id) ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_GRAPHIC;
    }
    long State(long id) override {
        const long state = TextState(RangeOf(id));
        return IsLink(id) ? state | STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE : state;
    }
    std::optional<std::u16string> Name(long id) override {
        if (id == CHILDID_SELF) return Exists() ? Engine().PlainText(Range()) : std::u16string{};
        std::optional<InlineItem> item = Item(id);
        if (!item) return std::nullopt;
        // A link with nothing to read (an image alone) is read by its URL.
        if (item->kind == InlineItem::Kind::Link && item->text.empty()) return std::move(item->url);
        return std::move(item->text);
    }
    std::optional<std::u16string> Value(long id) override {
        std::optional<InlineItem> item = id == CHILDID_SELF ? std::nullopt : Item(id);
        if (!item || item->kind != InlineItem::Kind::Link) return std::nullopt;
        return std::move(item->url);
    }
    std::optional<std::u16string> DefaultAction(long id) override {
        if (id == CHILDID_SELF || !IsLink(id)) return std::nullopt;
        return Link().linkAction;
    }
    HRESULT DoDefaultAction(long id) override {
        const std::optional<std::u16string> url = Value(id);
        if (!url) return DISP_E_MEMBERNOTFOUND;
        // A scheme the pane does not open is refused here as on a click.
        return Pane().OpenAccessibleLink(*url) ? S_OK : E_ACCESSDENIED;
    }
    Rect Bounds(long id) override { return Engine().Bounds(RangeOf(id)); }
    HRESULT Navigate(long direction, long from, VARIANT* end) override {
        if (from == CHILDID_SELF) {
            if (const long child = FirstOrLastChild(direction, ChildCount())) {
                SetChildId(end, child);
                return S_OK;
            }
            const long count = ClampedCount(Engine().ParagraphCount());
            const long sibling = SiblingOf(static_cast<long>(m_index) + 1, direction, count);
            return sibling ? SetObject(end, NewParagraph(SharedLink(), static_cast<std::size_t>(sibling - 1)))
                           : S_FALSE;
        }
        const long sibling = SiblingOf(from, direction, ChildCount());
        if (!sibling) return S_FALSE;
        SetChildId(end, sibling);
        return S_OK;
    }
    HRESULT HitTest(POINT point, VARIANT* found) override {
        const std::vector<InlineItem> items = Items();
        for (std::size_t index = 0; index < items.size(); ++index) {
            if (Engine().Bounds(items[index].range).Contains(point.x, point.y)) {
                SetChildId(found, static_cast<long>(index + 1));
                return S_OK;
            }
        }
        if (!Bounds(CHILDID_SELF).Contains(point.x, point.y)) return S_FALSE;
        SetChildId(found, CHILDID_SELF);
        return S_OK;
    }
    HRESULT Select(long flags, long id) override { return SelectRange(Pane(), flags, RangeOf(id)); }
    HRESULT Selection(VARIANT* selection) override {
        if (!RangeOf(CHILDID_SELF).Intersects(Engine().Selection())) return S_FALSE;
        SetChildId(selection, CHILDID_SELF);
        return S_OK;
    }

    std::size_t m_index;
};

IDispatch* NewParagraph(const std::shared_ptr<PaneLink>& link, std::size_t index) {
    return new (std::nothrow) ParagraphAccessible(link, index);
}

// The paragraphs [first, last) one after the other: what a selection over
// several paragraphs gives, their objects made only as they are read.
class ParagraphEnumerator final : public ComObject<IEnumVARIANT> {
public:
    ParagraphEnumerator(std::shared_ptr<PaneLink> link, std::size_t first, std::size_t last, std::size_t next)
        : m_link(std::move(link)), m_first(first), m_last(last), m_next(next) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known = iid == IID_IUnknown || iid == IID_IEnumVARIANT;
        return Answer(out, known ? static_cast<IEnumVARIANT*>(this) : nullptr);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (!items) return E_POINTER;
        ULONG done = 0;
        for (; done < count && m_next < m_last; ++done, ++m_next) {
            ::VariantInit(&items[done]);
            if (FAILED(CAccessibleObject::SetObject(&items[done], NewParagraph(m_link, m_next)))) break;
        }
        if (fetched) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = m_last - m_next;
        m_next += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_next = m_first;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) ParagraphEnumerator(m_link, m_first, m_last, m_next);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<PaneLink> m_link;
    std::size_t m_first;
    std::size_t m_last;
    std::size_t m_next;
};

// The pane itself: a read-only document whose children are the paragraphs.
// Its parent and its place among the window's other children are the
// system's standard object's.
class DocumentAccessible final : public AccessibleBase {
public:
    DocumentAccessible(std::shared_ptr<PaneLink> link, ComPtr<IAccessible> standard,
                       ComPtr<IRawElementProviderSimple> automation)
        : AccessibleBase(std::move(link)), m_standard(std::move(standard)), m_automation(std::move(automation)) {}

private:
    long ChildCount() override { return ClampedCount(Engine().ParagraphCount()); }
    IDispatch* ChildObject(long id) override { return NewParagraph(SharedLink(), static_cast<std::size_t>(id - 1)); }
    IDispatch* Parent() override {
        IDispatch* parent = nullptr;
        if (m_standard) m_standard->get_accParent(&parent);
        return parent;
    }
    long Role(long id) override { return id == CHILDID_SELF ? ROLE_SYSTEM_DOCUMENT : ROLE_SYSTEM_STATICTEXT; }
    // Child ids stand for the paragraphs too, for clients that ask the
    // document about a child rather than the child's own object.
    TextRange ParagraphOf(long id) { return Engine().Paragraph(static_cast<std::size_t>(id - 1)); }

    long State(long id) override {
        if (id != CHILDID_SELF) return TextState(ParagraphOf(id));
        long state = STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE;
        if (::GetFocus() == Window()) state |= STATE_SYSTEM_FOCUSED;
        if (!::IsWindowVisible(Window())) state |= STATE_SYSTEM_INVISIBLE;
        return state;
    }
    std::optional<std::u16string> Name(long id) override {
        if (id != CHILDID_SELF) return Engine().PlainText(ParagraphOf(id));
        return Link().name;
    }
    std::optional<std::u16string> Value(long id) override {
        return id == CHILDID_SELF ? std::optional<std::u16string>(std::u16string{}) : std::nullopt;
    }
    Rect Bounds(long id) override { return id == CHILDID_SELF ? ClientArea() : Engine().Bounds(ParagraphOf(id)); }
    HRESULT Navigate(long direction, long from, VARIANT* end) override {
        const long count = ChildCount();
        if (from == CHILDID_SELF) {
            if (const long child = FirstOrLastChild(direction, count)) return SetObject(end, ChildObject(child));
            VARIANT self;
            SetChildId(&self, CHILDID_SELF);
            return m_standard ? m_standard->accNavigate(direction, self, end) : S_FALSE;
        }
        const long sibling = SiblingOf(from, direction, count);
        return sibling ? SetObject(end, ChildObject(sibling)) : S_FALSE;
    }
    HRESULT HitTest(POINT point, VARIANT* found) override {
        if (!Bounds(CHILDID_SELF).Contains(point.x, point.y)) return S_FALSE;
        const std::optional<TextPosition> character = Engine().CharacterAt(point.x, point.y);
        const ParagraphSpan under =
            character ? Engine().ParagraphsIn(TextRange{*character, *character + 1}) : ParagraphSpan{};
        if (!under.IsEmpty()) return SetObject(found, NewParagraph(SharedLink(), under.first));
        SetChildId(found, CHILDID_SELF);
        return S_OK;
    }
    HRESULT Select(long flags, long id) override {
        if (id != CHILDID_SELF) return SelectRange(Pane(), flags, ParagraphOf(id));
        // The document as a whole only takes the focus.
        if (flags != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
        ::SetFocus(Window());
        return S_OK;
    }
    HRESULT Focus(VARIANT* focus) override {
        if (::GetFocus() != Window()) return S_FALSE;
        SetChildId(focus, CHILDID_SELF);
        return S_OK;
    }
    HRESULT Selection(VARIANT* selection) override {
        const ParagraphSpan selected = Engine().ParagraphsIn(Engine().Selection());
        if (selected.IsEmpty()) return S_FALSE;
        if (selected.last - selected.first == 1)
            return SetObject(selection, NewParagraph(SharedLink(), selected.first));
        IEnumVARIANT* paragraphs =
            new (std::nothrow) ParagraphEnumerator(SharedLink(), selected.first, selected.last, selected.first);
        if (!paragraphs) return E_OUTOFMEMORY;
        selection->vt = VT_UNKNOWN;
        selection->punkVal = paragraphs;
        return S_OK;
    }
    HRESULT Service(REFGUID service, REFIID iid, void** out) override {
        // The system's MSAA bridge asks here for the UI Automation side (the
        // live setting).
        if (service != IID_IAccessibleEx || !m_automation) return E_NOINTERFACE;
        return m_automation->QueryInterface(iid, out);
    }

    ComPtr<IAccessible> m_standard;
    ComPtr<IRawElementProviderSimple> m_automation;
};

// The pane's UI Automation side, for readers that follow the pane as a
// live region: the live setting, the host window, and the provider that
// notifications are raised for. Everything else comes from the MSAA side.
class AutomationProvider final : public ComObject<IRawElementProviderSimple, IAccessibleEx> {
public:
    AutomationProvider(std::shared_ptr<PaneLink> link, UiaNotificationFunctions::HostProviderFromHwnd host)
        : m_link(std::move(link)), m_host(host) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        IUnknown* face = nullptr;
        if (iid == IID_IUnknown || iid == IID_IRawElementProviderSimple)
            face = static_cast<IRawElementProviderSimple*>(this);
        else if (iid == IID_IAccessibleEx) face = static_cast<IAccessibleEx*>(this);
        return Answer(out, face);
    }

    // IRawElementProviderSimple
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
        if (!options) return E_POINTER;
        *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override {
        if (!pattern) return E_POINTER;
        *pattern = nullptr;
        return m_link->pane ? S_OK : kElementNotAvailable;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override {
        if (!value) return E_POINTER;
        ::VariantInit(value);
        if (!m_link->pane) return kElementNotAvailable;
        if (property == kLiveSettingProperty) CAccessibleObject::SetChildId(value, kLiveSettingPolite);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override {
        if (!host) return E_POINTER;
        *host = nullptr;
        if (!m_link->pane) return kElementNotAvailable;
        return m_host ? m_host(m_link->pane->AccessibleWindow(), host) : S_OK;
    }

    // IAccessibleEx: the pane's client object itself; its children have no
    // UI Automation side of their own.
    HRESULT STDMETHODCALLTYPE GetObjectForChild(long, IAccessibleEx** child) override {
        if (!child) return E_POINTER;
        *child = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIAccessiblePair(IAccessible** object, long* child) override {
        if (!object || !child) return E_POINTER;
        *object = m_link->document;
        *child = CHILDID_SELF;
        if (!*object) return kElementNotAvailable;
        (*object)->AddRef();
        return S_OK;
    }
    // The host window's element gives the runtime id.
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** id) override {
        if (id) *id = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ConvertReturnedElement(IRawElementProviderSimple*, IAccessibleEx** converted) override {
        if (converted) *converted = nullptr;
        return E_NOTIMPL;
    }

private:
    std::shared_ptr<PaneLink> m_link;
    UiaNotificationFunctions::HostProviderFromHwnd m_host;
};

}  // namespace

PaneAccessibility::PaneAccessibility(AccessiblePane& pane, UINT announceMessage)
    : m_link(std::make_shared<PaneLink>()), m_announcer(announceMessage) {
    m_link->pane = &pane;
}

PaneAccessibility::~PaneAccessibility() { Disconnect(); }

void PaneAccessibility::SetTexts(const std::wstring& name, const std::wstring& linkAction) {
    const auto wide = [](const std::wstring& text) {
        return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
    };
    m_link->name = wide(name);
    m_link->linkAction = wide(linkAction);
}

bool PaneAccessibility::Answer(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !m_link->pane) return false;
    if (!m_document) {
        const ComPtr<IAccessible> standard = StandardClientObject(m_link->pane->AccessibleWindow());
        m_document = ComPtr<IAccessible>::Adopt(new (std::nothrow) DocumentAccessible(m_link, standard, Provider()));
        if (!m_document) return false;
        m_link->document = m_document.Get();
    }
    return AnswerWithObject(m_document.Get(), wParam, result);
}

void PaneAccessibility::OnAppended(TextPosition from) {
    if (AccessiblePane* const pane = m_link->pane) m_announcer.OnAppended(pane->AccessibleWindow(), from);
}

void PaneAccessibility::Announce() {
    AccessiblePane* const pane = m_link->pane;
    const std::u16string text =
        m_announcer.Announce(pane ? pane->AccessibleWindow() : nullptr, pane ? pane->AccessibleDocument() : nullptr);
    if (!text.empty()) m_announcer.Notify(Provider().Get(), text);
}

const ComPtr<IRawElementProviderSimple>& PaneAccessibility::Provider() {
    if (!m_provider && m_link->pane) {
        m_provider = ComPtr<IRawElementProviderSimple>::Adopt(
            new (std::nothrow) AutomationProvider(m_link, m_announcer.Uia().hostProviderFromHwnd));
    }
    return m_provider;
}

void PaneAccessibility::Disconnect() {
    if (!m_link->pane) return;
    m_link->pane = nullptr;
    m_link->document = nullptr;
    // Proxies in other processes hear of it at their next call.
    if (m_document) ::CoDisconnectObject(m_document.Get(), 0);
    if (m_provider) ::CoDisconnectObject(m_provider.Get(), 0);
    m_document.Reset();
    m_provider.Reset();
}

}  // namespace html
