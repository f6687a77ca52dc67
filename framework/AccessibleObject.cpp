#include "framework/AccessibleObject.h"

#include <new>

namespace {

// Out parameters start empty, so that a failed call leaves nothing for the
// client to free; false for a null pointer.
template <typename T>
bool Cleared(T* out) {
    if (!out) return false;
    *out = T{};
    return true;
}

bool Cleared(VARIANT* out) {
    if (!out) return false;
    ::VariantInit(out);
    return true;
}

HRESULT Text(const std::optional<std::u16string>& text, BSTR* out, HRESULT absent) {
    return text ? CAccessibleObject::MakeBstr(*text, out) : absent;
}

}  // namespace

ComPtr<IAccessible> StandardClientObject(HWND window) {
    ComPtr<IAccessible> standard;
    ::CreateStdAccessibleObject(window, OBJID_CLIENT, kIidIAccessible, reinterpret_cast<void**>(standard.Receive()));
    return standard;
}

bool AnswerWithObject(IAccessible* object, WPARAM wParam, LRESULT& result) {
    // A negative answer is the failure's HRESULT.
    const LRESULT answer = ::LresultFromObject(kIidIAccessible, wParam, object);
    if (answer <= 0) return false;
    result = answer;
    return true;
}

HRESULT CAccessibleObject::MakeBstr(std::u16string_view text, BSTR* out) {
    *out = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void CAccessibleObject::SetChildId(VARIANT* out, long id) {
    out->vt = VT_I4;
    out->lVal = id;
}

HRESULT CAccessibleObject::SetObject(VARIANT* out, IDispatch* object) {
    if (!object) return E_OUTOFMEMORY;
    out->vt = VT_DISPATCH;
    out->pdispVal = object;
    return S_OK;
}

template <typename Body>
HRESULT CAccessibleObject::Call(Body body) {
    if (!IsConnected()) return CO_E_OBJNOTCONNECTED;
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

template <typename Body>
HRESULT CAccessibleObject::CallFor(const VARIANT& child, Body body) {
    return Call([&] {
        if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > ChildCount()) return E_INVALIDARG;
        return body(child.lVal);
    });
}

HRESULT CAccessibleObject::NoText(const VARIANT& child, BSTR* text) {
    if (!Cleared(text)) return E_POINTER;
    return CallFor(child, [](long) { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::QueryInterface(REFIID iid, void** out) {
    IUnknown* face = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidIAccessible) face = static_cast<IAccessible*>(this);
    else if (iid == IID_IServiceProvider) face = static_cast<IServiceProvider*>(this);
    return Answer(out, face);
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CAccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                                    UINT*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsConnected()) return CO_E_OBJNOTCONNECTED;
    return Service(service, iid, out);
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accParent(IDispatch** parent) {
    if (!Cleared(parent)) return E_POINTER;
    return Call([&] {
        *parent = Parent();
        return *parent ? S_OK : S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accChildCount(LONG* count) {
    if (!Cleared(count)) return E_POINTER;
    return Call([&] {
        *count = ChildCount();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accChild(VARIANT child, IDispatch** object) {
    if (!Cleared(object)) return E_POINTER;
    return CallFor(child, [&](long id) {
        if (id == CHILDID_SELF) return E_INVALIDARG;
        *object = ChildObject(id);
        return *object ? S_OK : S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accName(VARIANT child, BSTR* name) {
    if (!Cleared(name)) return E_POINTER;
    return CallFor(child, [&](long id) { return Text(Name(id), name, S_FALSE); });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accValue(VARIANT child, BSTR* value) {
    if (!Cleared(value)) return E_POINTER;
    return CallFor(child, [&](long id) { return Text(Value(id), value, DISP_E_MEMBERNOTFOUND); });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accDescription(VARIANT child, BSTR* text) {
    return NoText(child, text);
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accHelp(VARIANT child, BSTR* help) { return NoText(child, help); }

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return NoText(child, shortcut);
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
    if (!Cleared(topic)) return E_POINTER;
    return NoText(child, file);
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accRole(VARIANT child, VARIANT* role) {
    if (!Cleared(role)) return E_POINTER;
    return CallFor(child, [&](long id) {
        SetChildId(role, Role(id));
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accState(VARIANT child, VARIANT* state) {
    if (!Cleared(state)) return E_POINTER;
    return CallFor(child, [&](long id) {
        SetChildId(state, State(id));
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accFocus(VARIANT* focus) {
    if (!Cleared(focus)) return E_POINTER;
    return Call([&] { return Focus(focus); });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accSelection(VARIANT* selection) {
    if (!Cleared(selection)) return E_POINTER;
    return Call([&] { return Selection(selection); });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!Cleared(action)) return E_POINTER;
    return CallFor(child, [&](long id) { return Text(DefaultAction(id), action, DISP_E_MEMBERNOTFOUND); });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::accSelect(LONG flags, VARIANT child) {
    return CallFor(child, [&](long id) { return Select(flags, id); });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                                         VARIANT child) {
    if (!Cleared(left) || !Cleared(top) || !Cleared(width) || !Cleared(height)) return E_POINTER;
    return CallFor(child, [&](long id) {
        const RECT bounds = ClientBounds(id);
        if (::IsRectEmpty(&bounds)) return S_FALSE;
        POINT origin{bounds.left, bounds.top};
        ::ClientToScreen(Window(), &origin);
        *left = origin.x;
        *top = origin.y;
        *width = bounds.right - bounds.left;
        *height = bounds.bottom - bounds.top;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    if (!Cleared(end)) return E_POINTER;
    return CallFor(start, [&](long id) { return Navigate(direction, id, end); });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::accHitTest(LONG x, LONG y, VARIANT* child) {
    if (!Cleared(child)) return E_POINTER;
    return Call([&] {
        POINT point{x, y};
        ::ScreenToClient(Window(), &point);
        return HitTest(point, child);
    });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::accDoDefaultAction(VARIANT child) {
    return CallFor(child, [&](long id) { return DoDefaultAction(id); });
}

HRESULT STDMETHODCALLTYPE CAccessibleObject::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CAccessibleObject::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }
