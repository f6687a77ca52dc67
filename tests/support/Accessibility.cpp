#include "tests/support/Accessibility.h"

#include "framework/AccessibleObject.h"

namespace {

// Calls `get` for a text and takes it over.
template <typename Get>
std::wstring Text(Get get) {
    BSTR text = nullptr;
    std::wstring copy;
    if (get(&text) == S_OK && text) copy.assign(text, ::SysStringLen(text));
    ::SysFreeString(text);
    return copy;
}

LONG Number(HRESULT result, VARIANT& answer) {
    const LONG number = result == S_OK && answer.vt == VT_I4 ? answer.lVal : 0;
    ::VariantClear(&answer);
    return number;
}

}  // namespace

VARIANT ChildId(LONG id) {
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

ComPtr<IAccessible> ClientObject(HWND window) {
    // An object of another process arrives through COM, which this thread
    // joins once.
    static const HRESULT joined = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)joined;
    ComPtr<IAccessible> object;
    ::AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidIAccessible, reinterpret_cast<void**>(object.Receive()));
    return object;
}

std::wstring NameOf(IAccessible* object, LONG child) {
    return object ? Text([&](BSTR* name) { return object->get_accName(ChildId(child), name); }) : std::wstring{};
}

std::wstring ValueOf(IAccessible* object, LONG child) {
    return object ? Text([&](BSTR* value) { return object->get_accValue(ChildId(child), value); }) : std::wstring{};
}

LONG RoleOf(IAccessible* object, LONG child) {
    VARIANT role;
    ::VariantInit(&role);
    return object ? Number(object->get_accRole(ChildId(child), &role), role) : 0;
}

LONG StateOf(IAccessible* object, LONG child) {
    VARIANT state;
    ::VariantInit(&state);
    return object ? Number(object->get_accState(ChildId(child), &state), state) : 0;
}

RECT LocationOf(IAccessible* object, LONG child) {
    LONG left = 0, top = 0, width = 0, height = 0;
    if (!object || object->accLocation(&left, &top, &width, &height, ChildId(child)) != S_OK) return RECT{};
    return RECT{left, top, left + width, top + height};
}

ComPtr<IAccessible> ObjectIn(VARIANT& answer) {
    ComPtr<IAccessible> object;
    if (answer.vt == VT_DISPATCH && answer.pdispVal)
        answer.pdispVal->QueryInterface(kIidIAccessible, reinterpret_cast<void**>(object.Receive()));
    ::VariantClear(&answer);
    return object;
}

ComPtr<IAccessible> ChildOf(IAccessible* object, LONG id) {
    IDispatch* child = nullptr;
    if (!object || object->get_accChild(ChildId(id), &child) != S_OK) return {};
    VARIANT answer;
    answer.vt = VT_DISPATCH;
    answer.pdispVal = child;
    return ObjectIn(answer);
}

std::vector<std::wstring> ChildNames(IAccessible* object) {
    LONG count = 0;
    std::vector<std::wstring> names;
    if (!object || object->get_accChildCount(&count) != S_OK) return names;
    for (LONG id = 1; id <= count; ++id) {
        const ComPtr<IAccessible> child = ChildOf(object, id);
        names.push_back(child ? NameOf(child.Get()) : NameOf(object, id));
    }
    return names;
}

std::wstring AccessibleName(HWND window) { return NameOf(ClientObject(window).Get()); }

LONG AccessibleRole(HWND window) { return RoleOf(ClientObject(window).Get()); }
