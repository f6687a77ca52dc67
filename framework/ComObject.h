// ComObject, ComPtr: the reference counting of the COM objects the program
// makes and holds (ComPtr also holds the pane's document objects, which
// count the same way without being COM: framework/html/HtmlObjects.h).
//
//   class Answer final : public ComObject<IAccessible, IServiceProvider> { ... };
//   ComPtr<IAccessible> object = ComPtr<IAccessible>::Adopt(new Answer);
//
// One AddRef/Release pair serves every interface the object derives from.
// An object starts with one reference, its creator's; Release deletes it
// with the last. Counting is interlocked, as marshalling may release from
// another thread.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <type_traits>
#include <utility>

template <typename... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&m_references);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

    // QueryInterface's answer: `face` (this object as the interface asked
    // for) with a reference for the caller, or E_NOINTERFACE for null.
    static HRESULT Answer(void** out, IUnknown* face) {
        if (!out) return E_POINTER;
        *out = face;
        if (!face) return E_NOINTERFACE;
        face->AddRef();
        return S_OK;
    }

private:
    LONG m_references = 1;
};

// An owned reference to a COM interface, or to any object counted the same
// way (AddRef and Release); copies add a reference.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns (a new object, an out
    // parameter filled by a call).
    static ComPtr Adopt(T* pointer) {
        ComPtr owned;
        owned.m_pointer = pointer;
        return owned;
    }
    // Holds `pointer` with a reference of its own, added here.
    static ComPtr Hold(T* pointer) {
        if (pointer) pointer->AddRef();
        return Adopt(pointer);
    }
    ComPtr(const ComPtr& other) : m_pointer(other.m_pointer) {
        if (m_pointer) m_pointer->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    // From a reference to a derived class, as a derived pointer converts.
    template <typename Derived>
    requires std::is_convertible_v<Derived*, T*> ComPtr(const ComPtr<Derived>& other) : ComPtr(Hold(other.Get())) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (T* const old = std::exchange(m_pointer, nullptr)) old->Release();
    }
    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    friend bool operator==(const ComPtr& held, std::nullptr_t) { return held.m_pointer == nullptr; }
    // A new reference for the caller to hand out.
    T* Share() const {
        if (m_pointer) m_pointer->AddRef();
        return m_pointer;
    }
    // Where a call that returns a reference puts it; releases what was held.
    T** Receive() {
        Reset();
        return &m_pointer;
    }

private:
    T* m_pointer = nullptr;
};
