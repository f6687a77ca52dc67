#include "framework/AccessibleName.h"

#include "framework/ComObject.h"
#include "framework/TextConversion.h"

#include <oleacc.h>

#include <new>
#include <utility>

namespace {

constexpr CLSID kClsidAccPropServices = {0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};

// On a window whose name the service holds.
constexpr wchar_t kAnnotatedProperty[] = L"CAccessibleName.Annotated";

AnnotationServiceSource g_annotationService = SystemAnnotationService;

bool IsAnnotated(HWND window) { return ::GetPropW(window, kAnnotatedProperty) != nullptr; }

// The standard accessible object of a window under another name: every
// call but the name of the object itself goes to the standard object.
class NamedAccessible final : public ComObject<IAccessible> {
public:
    NamedAccessible(ComPtr<IAccessible> standard, std::wstring name)
        : m_standard(std::move(standard)), m_name(std::move(name)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidIAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Other interfaces the standard object has (IEnumVARIANT, IOleWindow)
        // answer for it, not for the name.
        return m_standard->QueryInterface(iid, object);
    }

    // IDispatch: the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        return m_standard->Invoke(id, iid, locale, flags, parameters, result, exception, badArgument);
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return m_standard->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = ::SysAllocStringLen(m_name.data(), static_cast<UINT>(m_name.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return m_standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return m_standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return m_standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return m_standard->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return m_standard->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return m_standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_standard->put_accValue(child, value);
    }

private:
    static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    ComPtr<IAccessible> m_standard;
    std::wstring m_name;
};

}  // namespace

ComPtr<IAccPropServices> SystemAnnotationService() {
    // Fails where the thread has not joined COM, and where the system has no
    // such service.
    ComPtr<IAccPropServices> service;
    ::CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidIAccPropServices,
                       reinterpret_cast<void**>(service.Receive()));
    return service;
}

AnnotationServiceSource UseAnnotationService(AnnotationServiceSource source) {
    return std::exchange(g_annotationService, source);
}

// Wine makes the service but takes no annotation (E_NOTIMPL): only a name
// taken counts.
bool AnnotateAccessibleName(HWND window, const std::wstring& name) {
    const ComPtr<IAccPropServices> service = g_annotationService();
    if (!window || !service ||
        FAILED(service->SetHwndPropStr(window, OBJID_CLIENT, CHILDID_SELF, kPropIdAccName, name.c_str()))) {
        return false;
    }
    ::SetPropW(window, kAnnotatedProperty, reinterpret_cast<HANDLE>(1));
    return true;
}

void ForgetAccessibleName(HWND window) {
    if (!window || !::RemovePropW(window, kAnnotatedProperty)) return;
    if (const ComPtr<IAccPropServices> service = g_annotationService()) {
        service->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF, &kPropIdAccName, 1);
    }
}

void CAccessibleName::Set(HWND window, const CString& name) {
    std::wstring wide = ToWide(name);
    if (wide == m_name) return;
    m_name = std::move(wide);
    if (!window) return;
    if (m_name.empty() || !AnnotateAccessibleName(window, m_name)) ForgetAccessibleName(window);
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

bool AnswerWithAccessibleName(HWND window, WPARAM wParam, LPARAM lParam, const std::wstring& name, LRESULT& result) {
    if (IsAnnotated(window) || AnnotateAccessibleName(window, name)) return false;
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
    ComPtr<IAccessible> standard = StandardClientObject(window);
    if (!standard) return false;
    // The answer holds its own reference until the client takes it; when it
    // fails, the default handling still gives the standard object, unnamed.
    const ComPtr<IAccessible> named =
        ComPtr<IAccessible>::Adopt(new (std::nothrow) NamedAccessible(std::move(standard), name));
    return named && AnswerWithObject(named.Get(), wParam, result);
}
