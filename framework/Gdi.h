// GDI objects and device contexts, in an owning and a borrowing flavour.
//
//   CPen, CBrush, CBitmap, CFont     own their handle: deleted when replaced,
//                                    on DeleteObject and in the destructor
//   CPenHandle, CBrushHandle,
//   CBitmapHandle, CFontHandle       borrow a handle someone else deletes
//   CDCHandle                        borrows a DC (a message's, a DRAWITEMSTRUCT's)
//   CDC                              owns a memory DC made by CreateCompatibleDC
//   CClientDC, CPaintDC              GetDC/ReleaseDC and BeginPaint/EndPaint
//   CSelectedObject                  selects an object into a DC and puts the
//                                    previous one back when it goes out of scope
//
// One template per kind, with the flavour as a parameter, rather than a flag
// in each object: a borrowed handle can then be copied freely, an owned one
// only moved, and the compiler keeps the two apart.
#pragma once

#include "framework/CString.h"

#include <windows.h>

#include <utility>

enum class GdiOwnership { Owning, Borrowing };

template <typename Handle, GdiOwnership Ownership>
class CGdiObjectT {
public:
    static constexpr bool kOwning = Ownership == GdiOwnership::Owning;

    CGdiObjectT() = default;
    explicit CGdiObjectT(Handle handle) : m_hObject(handle) {}
    CGdiObjectT(const CGdiObjectT& other) requires(!kOwning) = default;
    CGdiObjectT& operator=(const CGdiObjectT& other) requires(!kOwning) = default;
    CGdiObjectT(CGdiObjectT&& other) noexcept : m_hObject(other.Detach()) {}
    CGdiObjectT& operator=(CGdiObjectT&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~CGdiObjectT() {
        if constexpr (kOwning) DeleteObject();
    }

    operator Handle() const { return m_hObject; }
    Handle GetSafeHandle() const { return m_hObject; }

    // Takes `handle`; an owning object first deletes the one it held.
    void Attach(Handle handle) {
        if constexpr (kOwning) {
            if (handle != m_hObject) DeleteObject();
        }
        m_hObject = handle;
    }
    Handle Detach() { return std::exchange(m_hObject, nullptr); }

    // Deletes the handle (in either flavour: an explicit request) and leaves
    // the object empty.
    bool DeleteObject() {
        const Handle handle = Detach();
        return handle && ::DeleteObject(handle);
    }

protected:
    Handle m_hObject = nullptr;
};

template <GdiOwnership Ownership>
class CPenT : public CGdiObjectT<HPEN, Ownership> {
public:
    using CGdiObjectT<HPEN, Ownership>::CGdiObjectT;
    bool CreatePen(int style, int width, COLORREF color) {
        this->Attach(::CreatePen(style, width, color));
        return this->m_hObject != nullptr;
    }
};

template <GdiOwnership Ownership>
class CBrushT : public CGdiObjectT<HBRUSH, Ownership> {
public:
    using CGdiObjectT<HBRUSH, Ownership>::CGdiObjectT;
    bool CreateSolidBrush(COLORREF color) {
        this->Attach(::CreateSolidBrush(color));
        return this->m_hObject != nullptr;
    }
};

template <GdiOwnership Ownership>
class CBitmapT : public CGdiObjectT<HBITMAP, Ownership> {
public:
    using CGdiObjectT<HBITMAP, Ownership>::CGdiObjectT;
    // A bitmap resource of `module`, at its natural size.
    bool LoadBitmap(HINSTANCE module, UINT id) {
        this->Attach(
            static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
        return this->m_hObject != nullptr;
    }
    bool CreateCompatibleBitmap(HDC dc, int width, int height) {
        this->Attach(::CreateCompatibleBitmap(dc, width, height));
        return this->m_hObject != nullptr;
    }
    bool GetBitmap(BITMAP* info) const {
        return this->m_hObject && ::GetObjectW(this->m_hObject, sizeof(BITMAP), info) == sizeof(BITMAP);
    }
};

template <GdiOwnership Ownership>
class CFontT : public CGdiObjectT<HFONT, Ownership> {
public:
    using CGdiObjectT<HFONT, Ownership>::CGdiObjectT;
    bool CreateFontIndirect(const LOGFONTW& font) {
        this->Attach(::CreateFontIndirectW(&font));
        return this->m_hObject != nullptr;
    }
};

using CPen = CPenT<GdiOwnership::Owning>;
using CPenHandle = CPenT<GdiOwnership::Borrowing>;
using CBrush = CBrushT<GdiOwnership::Owning>;
using CBrushHandle = CBrushT<GdiOwnership::Borrowing>;
using CBitmap = CBitmapT<GdiOwnership::Owning>;
using CBitmapHandle = CBitmapT<GdiOwnership::Borrowing>;
using CFont = CFontT<GdiOwnership::Owning>;
using CFontHandle = CFontT<GdiOwnership::Borrowing>;

// Drawing operations shared by every DC flavour; it neither makes nor frees
// the DC.
class CDCBase {
public:
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }

    void FillSolidRect(const RECT& rect, COLORREF color);
    void FillSolidRect(int x, int y, int width, int height, COLORREF color) {
        FillSolidRect(RECT{x, y, x + width, y + height}, color);
    }
    // A one-pixel 3-D frame just inside `rect`: `topLeft` along the top and
    // left edges, `bottomRight` along the bottom and right ones, which own
    // the two corners where they meet. The light colour top and left looks
    // raised, the dark one sunken. An empty rectangle gets nothing.
    void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
    bool Rectangle(int left, int top, int right, int bottom) {
        return ::Rectangle(m_hDC, left, top, right, bottom) != FALSE;
    }
    bool BitBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, width, height, source, sourceX, sourceY, rop) != FALSE;
    }
    bool DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon) != FALSE; }
    // The program's text (code page 949), drawn as wide text.
    int DrawText(const CString& text, RECT& rect, UINT format);

    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }

protected:
    explicit CDCBase(HDC dc = nullptr) : m_hDC(dc) {}
    HDC m_hDC;
};

class CDCHandle : public CDCBase {
public:
    explicit CDCHandle(HDC dc = nullptr) : CDCBase(dc) {}
};

class CDC : public CDCBase {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    ~CDC() { DeleteDC(); }

    // Makes a memory DC compatible with `reference` (the screen when null),
    // replacing and deleting the one held before.
    bool CreateCompatibleDC(HDC reference);
    bool DeleteDC();
};

class CClientDC : public CDCBase {
public:
    explicit CClientDC(HWND window) : CDCBase(::GetDC(window)), m_hWnd(window) {}
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    ~CClientDC() {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

class CPaintDC : public CDCBase {
public:
    explicit CPaintDC(HWND window) : m_hWnd(window) { m_hDC = ::BeginPaint(window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

class CSelectedObject {
public:
    CSelectedObject(CDCBase& dc, HGDIOBJ object) : m_dc(dc), m_previous(dc.SelectObject(object)) {}
    CSelectedObject(const CSelectedObject&) = delete;
    CSelectedObject& operator=(const CSelectedObject&) = delete;
    ~CSelectedObject() {
        if (m_previous && m_previous != HGDI_ERROR) m_dc.SelectObject(m_previous);
    }

    // Whether the object went in; a failed selection leaves nothing to restore.
    bool IsSelected() const { return m_previous && m_previous != HGDI_ERROR; }

private:
    CDCBase& m_dc;
    HGDIOBJ m_previous;
};
