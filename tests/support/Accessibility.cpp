#include "tests/support/Accessibility.h"

#include "framework/AccessibleName.h"

#include <oleacc.h>

namespace {

IAccessible* ClientObject(HWND window) {
    // An object of another process arrives through COM, which this thread
    // joins once (an apartment, as a screen reader's thread is).
    static const HRESULT joined = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)joined;
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidIAccessible, reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

VARIANT Self() {
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

}  // namespace

std::wstring AccessibleName(HWND window) {
    IAccessible* object = ClientObject(window);
    if (!object) return {};
    BSTR name = nullptr;
    std::wstring text;
    if (object->get_accName(Self(), &name) == S_OK && name) text.assign(name, ::SysStringLen(name));
    ::SysFreeString(name);
    object->Release();
    return text;
}

LONG AccessibleRole(HWND window) {
    IAccessible* object = ClientObject(window);
    if (!object) return 0;
    VARIANT role;
    ::VariantInit(&role);
    const LONG answer = object->get_accRole(Self(), &role) == S_OK && role.vt == VT_I4 ? role.lVal : 0;
    ::VariantClear(&role);
    object->Release();
    return answer;
}
