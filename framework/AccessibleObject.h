// CAccessibleObject: the common part of a window's own MSAA objects. It
// checks every argument, clears every out parameter, refuses every call with
// CO_E_OBJNOTCONNECTED once the object's window is gone, keeps exceptions
// inside, and turns typed answers (text, rectangles in client coordinates)
// into what IAccessible returns. A derived class answers in terms of child
// ids: 0 for the object itself, 1 to ChildCount() for its simple children.
//
//   class Answer final : public CAccessibleObject { ... long Role(long id) override ... };
//
// IDispatch is not implemented (clients call IAccessible directly); the
// service provider gives what Service answers, nothing by default.
#pragma once

#include "framework/ComObject.h"

#include <windows.h>
#include <oleacc.h>
#include <servprov.h>

#include <optional>
#include <string>
#include <string_view>

// The IAccessible interface identifier, spelled out: linked with -loleacc,
// MinGW resolves the IID_IAccessible symbol to the DLL's exported data
// thunk, not to the GUID, and a QueryInterface with it fails.
inline constexpr IID kIidIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The system's standard client object of `window`; empty when it cannot
// be had.
ComPtr<IAccessible> StandardClientObject(HWND window);

// Answers WM_GETOBJECT (its `wParam`) with `object`: true with `result`
// set; false when the object could not be handed over, leaving the message
// to the default handling.
bool AnswerWithObject(IAccessible* object, WPARAM wParam, LRESULT& result);

class CAccessibleObject : public ComObject<IAccessible, IServiceProvider> {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    // IDispatch: clients call the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // IServiceProvider
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override;

    // Filling answers: a BSTR from text (E_OUTOFMEMORY when it cannot be
    // had), a child id, and an object whose reference `object` carries
    // (E_OUTOFMEMORY for null, as a failed `new (std::nothrow)` gives).
    static HRESULT MakeBstr(std::u16string_view text, BSTR* out);
    static void SetChildId(VARIANT* out, long id);
    static HRESULT SetObject(VARIANT* out, IDispatch* object);

protected:
    CAccessibleObject() = default;

    virtual bool IsConnected() const = 0;
    virtual HWND Window() const = 0;
    virtual long ChildCount() = 0;
    // A new reference to child `id`'s own object; null for a simple child.
    virtual IDispatch* ChildObject(long id) = 0;
    // A new reference to the parent; null at the top.
    virtual IDispatch* Parent() = 0;
    virtual long Role(long id) = 0;
    virtual long State(long id) = 0;
    virtual std::optional<std::u16string> Name(long id) = 0;
    virtual std::optional<std::u16string> Value(long) { return std::nullopt; }
    virtual std::optional<std::u16string> DefaultAction(long) { return std::nullopt; }
    virtual HRESULT DoDefaultAction(long) { return DISP_E_MEMBERNOTFOUND; }
    // Empty when the child is nowhere to be seen.
    virtual RECT ClientBounds(long id) = 0;
    virtual HRESULT Navigate(long direction, long from, VARIANT* end) = 0;
    virtual HRESULT HitTest(POINT clientPoint, VARIANT* found) = 0;
    virtual HRESULT Select(long flags, long id) = 0;
    virtual HRESULT Focus(VARIANT*) { return S_FALSE; }
    virtual HRESULT Selection(VARIANT*) { return S_FALSE; }
    virtual HRESULT Service(REFGUID, REFIID, void**) { return E_NOINTERFACE; }

private:
    // Runs `body` once the object is known to be connected; nothing it
    // throws leaves the object.
    template <typename Body>
    HRESULT Call(Body body);
    // As Call, for a method about child `child` (0 or one of ours).
    template <typename Body>
    HRESULT CallFor(const VARIANT& child, Body body);
    HRESULT NoText(const VARIANT& child, BSTR* text);
};
