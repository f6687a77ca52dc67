// CHtmlView: the HTML pane's child window. It hosts one document at a time
// (html::Document, through the counted CHtmlDocument object) and gives it
// what a window has: painting, a scroll bar, the mouse and keyboard, the
// clipboard, links and images.
//
//   view.Create(nullptr, "Pane", WS_CHILD | WS_VISIBLE, CRect(), &parent, 0xFFFF);
//   view.Navigate2("res://C:\\prog.exe/129");   // OnDocumentComplete comes later
//   ComPtr<CHtmlDocument> document = view.GetHtmlDocument();
//
// Navigation: only "res://<module>/<number>" URLs are navigated; the
// resource's HTML replaces the document, and OnDocumentComplete is posted,
// so it always runs after Navigate2 has returned, as a browser's event does.
// Every link opens outside the pane (the template's base target is _blank),
// and only for http, https and mailto (LinkOpener); the pane never loads a
// page from the network, so it always keeps its document.
//
// Scale: the view lays the document out at its window's DPI (taken at
// creation; the host calls SetDpi when the window moves to a monitor of
// another DPI, since only top-level windows hear of it) times the reader's
// zoom, which Ctrl with the wheel or with "+", "-" and "0" steps through
// the browser's zoom steps for the window's life. The scroll bar follows
// the DPI only.
//
// Lifetime: the object deletes itself when its window is destroyed while
// the object still lives (as the framework's views do); deleting the object
// first is also sound: the destructor destroys the window without a second
// delete.
#pragma once

#include "framework/CString.h"
#include "framework/LinkOpener.h"
#include "framework/RuntimeClass.h"
#include "framework/Wnd.h"
#include "framework/html/CssScale.h"
#include "framework/html/GdiFonts.h"
#include "framework/html/GdiImageStore.h"
#include "framework/html/HtmlObjects.h"
#include "framework/html/ImageLoader.h"
#include "framework/html/PaneAccessible.h"
#include "framework/html/PaneScrollBar.h"

#include <windows.h>

#include <memory>

class CHtmlView : public CWnd, private CHtmlDocumentHost, private html::AccessiblePane {
    DECLARE_DYNAMIC(CHtmlView)

public:
    // Context menu commands.
    static constexpr UINT kCopyCommand = 1;
    static constexpr UINT kSelectAllCommand = 2;

    CHtmlView();
    ~CHtmlView() override;

    // As the classic view is created: a null class name stands for the
    // framework's own class; the creation context is not used.
    BOOL Create(const wchar_t* className, const char* windowName, DWORD style, const RECT& rect, CWindow* parent,
                UINT id, void* context = nullptr);

    // Navigates to `url` (the program's 8-bit text: code page 949, whatever
    // the system's code page). False, with the current document kept and
    // nothing announced, when the URL is not a resource URL or its resource
    // cannot be loaded, or there is no window.
    bool Navigate2(const char* url);
    bool Navigate(const char* url) { return Navigate2(url); }

    // The current document; empty before the first navigation.
    ComPtr<CHtmlDocument> GetHtmlDocument() const;

    // Selection and the clipboard, as Ctrl+A, Ctrl+C and the context menu
    // use them.
    void SelectAll();
    bool HasSelection() const;
    bool CopySelection();
    // The pane's context menu: Copy (greyed without a selection) and Select
    // All, captioned with the texts given. The caller destroys it.
    HMENU CreateContextMenu() const;
    // The captions of the two commands, in the program's 8-bit text; "Copy"
    // and "Select All" until the program gives its own.
    void SetContextMenuTexts(const char* copy, const char* selectAll);
    void ExecuteCommand(UINT command);

    // What a screen reader calls the pane and a link's default action, in
    // the program's 8-bit text; see PaneAccessible.h for what it reads.
    void SetAccessibleTexts(const char* name, const char* linkAction);
    // Stands in for the system's UI Automation functions (tests).
    void SetUiaNotificationFunctions(const html::UiaNotificationFunctions& functions) {
        m_accessibility.SetUiaFunctions(functions);
    }

    // The DPI the pane is drawn at, brought into 96..480; the document is
    // laid out again and the reader keeps their place.
    void SetDpi(UINT dpi);
    UINT Dpi() const { return m_dpi; }
    // Zoom keys for when the focus is elsewhere (the input box forwards its
    // key-downs): with Ctrl held (and not Alt), "+" (VK_OEM_PLUS, the "="
    // key, or VK_ADD) zooms in a step, "-" (VK_OEM_MINUS or VK_SUBTRACT)
    // out, "0" (the '0' key or VK_NUMPAD0) back to 100 %. True when the key
    // was one of those, also at a zoom's end where nothing changes.
    bool HandleZoomKey(UINT virtualKey);
    // The zoom in percent: one of html::kZoomSteps, 100 at first.
    int ZoomPercent() const { return m_zoom; }

    // Where link clicks go; the default opens with the shell.
    void SetLinkOpener(LinkOpener opener) { m_linkOpener = std::move(opener); }

    // Paints the client-area part `dirty` into `dc`, in client coordinates:
    // WM_PAINT's routine, also usable on a memory DC.
    void PaintTo(HDC dc, const RECT& dirty);

protected:
    // A navigation finished; `url` is the one given to Navigate2.
    virtual void OnDocumentComplete(const char* url);
    void PostNcDestroy() override;

    void OnDestroy();
    void OnSize(UINT type, int width, int height);
    void OnPaint();
    BOOL OnEraseBkgnd(CDCHandle dc);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    BOOL OnSetCursor(CWindow window, UINT hitTest, UINT message);
    void OnChar(UINT code, UINT repeat, UINT flags);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnTimer(UINT_PTR id);
    void OnMouseWheel(UINT flags, short delta, CPoint screenPoint);
    void OnContextMenu(CWindow clicked, CPoint screenPoint);
    void OnCaptureChanged(CWindow newCapture);
    UINT OnGetDlgCode();
    LRESULT OnNavigationComplete(WPARAM navigation, LPARAM lParam);
    LRESULT OnImagesReady(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnAnnounce(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    enum class MouseMode { None, Selecting, ScrollBar };

    // CHtmlDocumentHost
    void OnDocumentAppended(html::TextPosition from) override;
    void OnDocumentScrolled() override;
    // New content, appended or a whole new document.
    void OnDocumentContentChanged();

    // html::AccessiblePane
    html::Document* AccessibleDocument() override { return Engine(); }
    HWND AccessibleWindow() const override { return m_hWnd; }
    bool OpenAccessibleLink(std::u16string_view url) override { return m_linkOpener.Open(url); }
    void SelectAccessibleRange(html::TextRange range) override;

    html::Document* Engine() const { return m_document ? &m_document->Engine() : nullptr; }
    void ReplaceDocument(std::u16string_view html);
    void DropDocument();
    html::CssScale Scale() const;
    // Gives the document the DPI and zoom, and the scroll bar the DPI.
    void ApplyScale();
    void ZoomTo(int percent);
    void ApplyViewport();
    void SyncScrollBar();
    void ScrollTo(int top);
    void ScrollBy(int delta) {
        if (Engine()) ScrollTo(Engine()->ScrollTop() + delta);
    }
    int LineStep();
    int PageStep();
    bool IsInScrollBar(CPoint point) const;
    void PressScrollBar(CPoint point);
    void StepScrollBar(html::ScrollBarPart part);
    void EndMouseMode();
    void RequestImages();
    void OpenLinkAt(CPoint point);
    // Every change repaints the whole pane, so one invalidation per paint is
    // enough; the rest would each cost a round trip to the window system
    // (under Wine, a wineserver request) on every appended line.
    void InvalidateAll();

    // The fonts first: the document's layout measures with them.
    html::GdiFontCache m_fonts;
    ComPtr<CHtmlDocumentObject> m_document;
    html::GdiImageStore m_images;
    std::unique_ptr<html::ImageLoader> m_imageLoader;  // made with the first image request
    LinkOpener m_linkOpener;
    html::PaneScrollBar m_scrollBar;
    html::PaneAccessibility m_accessibility;

    CString m_copyText{"Copy"};
    CString m_selectAllText{"Select All"};
    CString m_navigatedUrl;
    WPARAM m_navigation = 0;  // counts navigations; only the latest announces completion

    MouseMode m_mouseMode = MouseMode::None;
    html::TextPosition m_anchor = 0;
    CPoint m_pressPoint;
    bool m_dragged = false;
    int m_wheelRemainder = 0;
    UINT m_dpi = kBaseDpi;
    int m_zoom = html::kNormalZoom;

    bool m_invalidated = false;  // the whole client area awaits a WM_PAINT
    bool m_inDestructor = false;
};
