#include "framework/html/HtmlView.h"

#include "framework/Dpi.h"
#include "framework/Gdi.h"
#include "framework/TextConversion.h"
#include "framework/html/Clipboard.h"
#include "framework/html/GdiSurface.h"
#include "framework/html/ResourceUrl.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Private to the view's own window.
constexpr UINT kNavigationCompleteMessage = WM_USER + 0x100;
constexpr UINT kImagesReadyMessage = WM_USER + 0x101;
constexpr UINT kAnnounceMessage = WM_USER + 0x102;

constexpr UINT_PTR kRepeatTimer = 1;  // a held scroll-bar arrow or track

// The system cursors, by number: windows.h names them only in the code
// page's flavour of MAKEINTRESOURCE.
const wchar_t* const kArrowCursor = MAKEINTRESOURCEW(32512);
const wchar_t* const kHandCursor = MAKEINTRESOURCEW(32649);

constexpr wchar_t kControlA = 0x01;
constexpr wchar_t kControlC = 0x03;

html::Rect ToRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

bool IsKeyDown(int key) { return ::GetKeyState(key) < 0; }

}  // namespace

IMPLEMENT_DYNAMIC(CHtmlView, CWnd)

BEGIN_MESSAGE_MAP(CHtmlView, CWnd)
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_WM_CHAR()
ON_WM_KEYDOWN()
ON_WM_TIMER()
ON_WM_MOUSEWHEEL()
ON_WM_CONTEXTMENU()
ON_WM_CAPTURECHANGED()
ON_WM_GETDLGCODE()
ON_MESSAGE(kNavigationCompleteMessage, OnNavigationComplete)
ON_MESSAGE(kImagesReadyMessage, OnImagesReady)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
ON_MESSAGE(kAnnounceMessage, OnAnnounce)
END_MESSAGE_MAP()

CHtmlView::CHtmlView() : m_accessibility(*this, kAnnounceMessage) {}

CHtmlView::~CHtmlView() {
    // The window goes while this class's handlers can still run; the flag
    // keeps PostNcDestroy from deleting an object already being deleted.
    m_inDestructor = true;
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    DropDocument();
}

void CHtmlView::PostNcDestroy() {
    if (!m_inDestructor) delete this;
}

BOOL CHtmlView::Create(const wchar_t* className, const char* windowName, DWORD style, const RECT& rect, CWindow* parent,
                       UINT id, void* /*context*/) {
    if (!CreateEx(0, className, windowName, style, rect, parent ? parent->m_hWnd : nullptr, id)) return FALSE;
    SetDpi(WindowDpi(m_hWnd));
    return TRUE;
}

void CHtmlView::SetDpi(UINT dpi) {
    // Anything past an int is as absurd as 10,000 and lands at an end too.
    m_dpi = static_cast<UINT>(DpiScale(static_cast<int>(std::min<UINT>(dpi, kMaximumDpi + 1))).Dpi());
    ApplyScale();
}

html::CssScale CHtmlView::Scale() const { return html::CssScale(DpiScale(static_cast<int>(m_dpi)), m_zoom); }

void CHtmlView::ApplyScale() {
    m_scrollBar.SetDpi(DpiScale(static_cast<int>(m_dpi)));
    if (html::Document* const engine = Engine()) engine->SetScale(Scale());
    ApplyViewport();
    InvalidateAll();
}

void CHtmlView::ZoomTo(int percent) {
    if (percent == m_zoom) return;
    m_zoom = percent;
    ApplyScale();
}

bool CHtmlView::HandleZoomKey(UINT virtualKey) {
    // Ctrl+Alt is AltGr, which types characters on many layouts.
    if (!IsKeyDown(VK_CONTROL) || IsKeyDown(VK_MENU)) return false;
    switch (virtualKey) {
    case VK_OEM_PLUS:
    case VK_ADD: ZoomTo(html::SteppedZoom(m_zoom, 1)); return true;
    case VK_OEM_MINUS:
    case VK_SUBTRACT: ZoomTo(html::SteppedZoom(m_zoom, -1)); return true;
    case '0':
    case VK_NUMPAD0: ZoomTo(html::kNormalZoom); return true;
    default: return false;
    }
}

bool CHtmlView::Navigate2(const char* url) {
    if (!m_hWnd || !url) return false;
    const std::optional<html::ResourceUrl> resource = html::ParseResourceUrl(ToWide(url));
    if (!resource) return false;
    const std::optional<std::u16string> text = html::LoadHtmlResource(*resource);
    if (!text) return false;
    ReplaceDocument(*text);
    m_navigatedUrl = url;
    PostMessage(kNavigationCompleteMessage, ++m_navigation);
    return true;
}

LRESULT CHtmlView::OnNavigationComplete(WPARAM navigation, LPARAM) {
    // A later navigation supersedes an earlier one still waiting.
    if (navigation == m_navigation) OnDocumentComplete(m_navigatedUrl);
    return 0;
}

void CHtmlView::OnDocumentComplete(const char*) {}

ComPtr<CHtmlDocument> CHtmlView::GetHtmlDocument() const { return m_document; }

void CHtmlView::ReplaceDocument(std::u16string_view html) {
    DropDocument();
    m_document = CHtmlDocumentObject::Create(*this);
    m_document->Engine().Load(html);
    m_document->Engine().SetScale(Scale());
    ApplyViewport();
    OnDocumentContentChanged();
}

void CHtmlView::DropDocument() {
    EndMouseMode();
    // Loads under way belong to the old document's image ids.
    m_imageLoader.reset();
    m_images.Clear();
    if (m_document) m_document->Detach();
    m_document.Reset();
    // Font ids are per document.
    m_fonts.Clear();
}

void CHtmlView::OnDestroy() {
    m_accessibility.Disconnect();
    DropDocument();
    Default();
}

void CHtmlView::OnDocumentContentChanged() {
    RequestImages();
    SyncScrollBar();
    InvalidateAll();
}

void CHtmlView::OnDocumentAppended(html::TextPosition from) {
    OnDocumentContentChanged();
    m_accessibility.OnAppended(from);
}

void CHtmlView::OnDocumentScrolled() {
    SyncScrollBar();
    InvalidateAll();
}

void CHtmlView::OnSize(UINT, int, int) {
    ApplyViewport();
    InvalidateAll();
}

void CHtmlView::ApplyViewport() {
    const CRect client = GetClientRect();
    const int barWidth = std::min<int>(client.Width(), SystemMetricForDpi(SM_CXVSCROLL, m_dpi));
    m_scrollBar.SetBounds({client.right - barWidth, client.top, client.right, client.bottom});
    if (html::Document* const engine = Engine())
        engine->SetViewport(client.Width() - barWidth, client.Height(), m_fonts);
    SyncScrollBar();
}

void CHtmlView::SyncScrollBar() {
    html::Document* const engine = Engine();
    if (engine) m_scrollBar.SetRange(engine->ScrollHeight(), engine->ClientHeight(), engine->ScrollTop());
    else m_scrollBar.SetRange(0, 0, 0);
}

void CHtmlView::ScrollTo(int top) {
    html::Document* const engine = Engine();
    if (!engine || top == engine->ScrollTop()) return;
    engine->SetScrollTop(top);
    OnDocumentScrolled();
}

int CHtmlView::LineStep() {
    const html::Document* const engine = Engine();
    return engine ? std::max(1, m_fonts.Metrics(engine->BodyFont()).Height()) : 1;
}

int CHtmlView::PageStep() {
    const html::Document* const engine = Engine();
    return engine ? std::max(LineStep(), engine->ClientHeight() - LineStep()) : 1;
}

// Painting

void CHtmlView::InvalidateAll() {
    if (m_invalidated || !m_hWnd) return;
    m_invalidated = ::InvalidateRect(m_hWnd, nullptr, FALSE) != FALSE;
}

void CHtmlView::OnPaint() {
    CPaintDC paint(m_hWnd);
    m_invalidated = false;
    const RECT& dirty = paint.m_ps.rcPaint;
    const int width = dirty.right - dirty.left;
    const int height = dirty.bottom - dirty.top;
    if (width <= 0 || height <= 0) return;
    // Drawn off screen, then copied in one go: no flicker between the
    // background and the text over it.
    CDC memory;
    CBitmap bitmap;
    if (!memory.CreateCompatibleDC(paint) || !bitmap.CreateCompatibleBitmap(paint, width, height)) {
        PaintTo(paint, dirty);
        return;
    }
    CSelectedObject selected(memory, bitmap);
    ::SetViewportOrgEx(memory, -dirty.left, -dirty.top, nullptr);
    PaintTo(memory, dirty);
    ::BitBlt(paint, dirty.left, dirty.top, width, height, memory, dirty.left, dirty.top, SRCCOPY);
}

BOOL CHtmlView::OnEraseBkgnd(CDCHandle) { return TRUE; }

void CHtmlView::PaintTo(HDC dc, const RECT& dirty) {
    const html::Rect area = ToRect(dirty);
    const html::Rect bar = m_scrollBar.Bounds();
    const html::Rect content{0, 0, bar.left, bar.bottom};
    html::Document* const engine = Engine();
    const html::Rect contentDirty = area.Intersection(content);
    if (!contentDirty.IsEmpty()) {
        const html::ImageFilter filter = Scale().IsOne() ? html::ImageFilter::Nearest : html::ImageFilter::Smooth;
        html::GdiSurface surface(dc, m_fonts, &m_images, filter);
        surface.PushClip(content);
        if (engine) engine->Paint(surface, contentDirty);
        else surface.FillRect(contentDirty, ::GetSysColor(COLOR_WINDOW));
    }
    if (area.Intersects(bar)) {
        m_scrollBar.Paint(dc, engine ? engine->Style() : html::TemplateStyle{});
    }
}

// Mouse

bool CHtmlView::IsInScrollBar(CPoint point) const { return m_scrollBar.Bounds().Contains(point.x, point.y); }

void CHtmlView::OnLButtonDown(UINT, CPoint point) {
    ::SetFocus(m_hWnd);
    html::Document* const engine = Engine();
    if (!engine || m_mouseMode != MouseMode::None) return;
    if (IsInScrollBar(point)) return PressScrollBar(point);
    m_mouseMode = MouseMode::Selecting;
    m_pressPoint = point;
    m_dragged = false;
    m_anchor = engine->PositionAt(point.x, point.y);
    if (engine->HasSelection()) {
        engine->ClearSelection();
        InvalidateAll();
    }
    ::SetCapture(m_hWnd);
}

// On the text a double click selects the word under the pointer; on the
// scroll bar it is a click like the first, so that a quickly pressed arrow
// scrolls twice.
void CHtmlView::OnLButtonDblClk(UINT flags, CPoint point) {
    html::Document* const engine = Engine();
    if (!engine || IsInScrollBar(point) || m_mouseMode != MouseMode::None) return OnLButtonDown(flags, point);
    ::SetFocus(m_hWnd);
    const html::TextRange word = engine->WordAt(point.x, point.y);
    engine->SetSelection(word.start, word.end);
    InvalidateAll();
}

void CHtmlView::PressScrollBar(CPoint point) {
    const html::ScrollBarPart part = m_scrollBar.Press(point.x, point.y);
    if (part == html::ScrollBarPart::None) return;
    m_mouseMode = MouseMode::ScrollBar;
    if (part != html::ScrollBarPart::Thumb) {
        StepScrollBar(part);
        ::SetTimer(m_hWnd, kRepeatTimer, html::PaneScrollBar::kRepeatDelayMs, nullptr);
    }
    ::SetCapture(m_hWnd);
    InvalidateAll();
}

void CHtmlView::StepScrollBar(html::ScrollBarPart part) {
    switch (part) {
    case html::ScrollBarPart::UpArrow: return ScrollBy(-LineStep());
    case html::ScrollBarPart::DownArrow: return ScrollBy(LineStep());
    case html::ScrollBarPart::PageUp: return ScrollBy(-PageStep());
    case html::ScrollBarPart::PageDown: return ScrollBy(PageStep());
    default: return;
    }
}

void CHtmlView::OnTimer(UINT_PTR id) {
    if (id != kRepeatTimer || m_scrollBar.HeldPart() == html::ScrollBarPart::None) return;
    ::SetTimer(m_hWnd, kRepeatTimer, html::PaneScrollBar::kRepeatIntervalMs, nullptr);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    if (m_scrollBar.RepeatsAt(cursor.x, cursor.y)) StepScrollBar(m_scrollBar.HeldPart());
}

void CHtmlView::OnMouseMove(UINT, CPoint point) {
    html::Document* const engine = Engine();
    if (!engine) return;
    if (m_scrollBar.IsDraggingThumb()) {
        ScrollTo(m_scrollBar.DraggedScrollTop(point.y));
        return;
    }
    if (m_mouseMode != MouseMode::Selecting) return;
    if (!m_dragged) {
        const int slackX = SystemMetricForDpi(SM_CXDRAG, m_dpi);
        const int slackY = SystemMetricForDpi(SM_CYDRAG, m_dpi);
        m_dragged = std::abs(point.x - m_pressPoint.x) > slackX || std::abs(point.y - m_pressPoint.y) > slackY;
        if (!m_dragged) return;
    }
    // Dragging past the top or bottom edge scrolls towards the pointer.
    if (point.y < 0) ScrollBy(point.y);
    else if (point.y >= engine->ClientHeight()) ScrollBy(point.y - engine->ClientHeight() + 1);
    engine->SetSelection(m_anchor, engine->PositionAt(point.x, point.y));
    InvalidateAll();
}

void CHtmlView::OnLButtonUp(UINT, CPoint point) {
    const bool clicked = m_mouseMode == MouseMode::Selecting && !m_dragged;
    EndMouseMode();
    if (clicked) OpenLinkAt(point);
}

void CHtmlView::OnCaptureChanged(CWindow) { EndMouseMode(); }

void CHtmlView::EndMouseMode() {
    if (m_mouseMode == MouseMode::None) return;
    const bool buttonPressed = m_scrollBar.Release();
    m_mouseMode = MouseMode::None;
    ::KillTimer(m_hWnd, kRepeatTimer);
    // Releasing the capture sends WM_CAPTURECHANGED, which finds the mode
    // already ended.
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (buttonPressed) InvalidateAll();
}

void CHtmlView::OpenLinkAt(CPoint point) {
    html::Document* const engine = Engine();
    if (!engine || IsInScrollBar(point)) return;
    const std::u16string link = engine->LinkAt(point.x, point.y);
    if (!link.empty()) m_linkOpener.Open(link);
}

BOOL CHtmlView::OnSetCursor(CWindow, UINT hitTest, UINT) {
    html::Document* const engine = Engine();
    if (hitTest != HTCLIENT || !engine) return static_cast<BOOL>(Default());
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    const bool overLink = !IsInScrollBar(CPoint(cursor.x, cursor.y)) && !engine->LinkAt(cursor.x, cursor.y).empty();
    ::SetCursor(::LoadCursorW(nullptr, overLink ? kHandCursor : kArrowCursor));
    return TRUE;
}

void CHtmlView::OnMouseWheel(UINT flags, short delta, CPoint) {
    UINT linesPerNotch = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    m_wheelRemainder += delta;
    const int notches = m_wheelRemainder / WHEEL_DELTA;
    m_wheelRemainder %= WHEEL_DELTA;
    if (notches == 0) return;
    // Away from the reader zooms in, as in a browser.
    if (flags & MK_CONTROL) return ZoomTo(html::SteppedZoom(m_zoom, notches));
    const int step = linesPerNotch == WHEEL_PAGESCROLL ? PageStep() : static_cast<int>(linesPerNotch) * LineStep();
    ScrollBy(-notches * step);
}

// Keyboard, selection, clipboard

UINT CHtmlView::OnGetDlgCode() {
    // In a dialog, arrows and Page keys scroll the pane instead of moving
    // the focus, and Ctrl+A / Ctrl+C arrive as characters.
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void CHtmlView::OnChar(UINT code, UINT, UINT) {
    if (code == kControlA) return SelectAll();
    if (code == kControlC) {
        CopySelection();
        return;
    }
    Default();
}

void CHtmlView::OnKeyDown(UINT key, UINT, UINT) {
    if (HandleZoomKey(key)) return;
    html::Document* const engine = Engine();
    if (!engine) {
        Default();
        return;
    }
    switch (key) {
    case VK_INSERT:
        if (IsKeyDown(VK_CONTROL)) CopySelection();
        return;
    case VK_UP: return ScrollBy(-LineStep());
    case VK_DOWN: return ScrollBy(LineStep());
    case VK_PRIOR: return ScrollBy(-PageStep());
    case VK_NEXT: return ScrollBy(PageStep());
    case VK_HOME: return ScrollTo(0);
    case VK_END: return ScrollTo(engine->ScrollHeight());
    default: Default();
    }
}

void CHtmlView::SelectAll() {
    if (html::Document* const engine = Engine()) {
        engine->SelectAll();
        InvalidateAll();
    }
}

bool CHtmlView::HasSelection() const {
    const html::Document* const engine = Engine();
    return engine && engine->HasSelection();
}

bool CHtmlView::CopySelection() {
    const html::Document* const engine = Engine();
    if (!engine || !engine->HasSelection()) return false;
    return html::CopyTextToClipboard(m_hWnd, engine->SelectedText());
}

HMENU CHtmlView::CreateContextMenu() const {
    const HMENU menu = ::CreatePopupMenu();
    if (!menu) return nullptr;
    const UINT copyState = HasSelection() ? MF_ENABLED : MF_GRAYED;
    ::AppendMenuW(menu, MF_STRING | copyState, kCopyCommand, ToWide(m_copyText).c_str());
    ::AppendMenuW(menu, MF_STRING, kSelectAllCommand, ToWide(m_selectAllText).c_str());
    return menu;
}

void CHtmlView::SetContextMenuTexts(const char* copy, const char* selectAll) {
    m_copyText = copy;
    m_selectAllText = selectAll;
}

void CHtmlView::ExecuteCommand(UINT command) {
    if (command == kCopyCommand) CopySelection();
    else if (command == kSelectAllCommand) SelectAll();
}

void CHtmlView::SetAccessibleTexts(const char* name, const char* linkAction) {
    m_accessibility.SetTexts(ToWide(name), ToWide(linkAction));
}

void CHtmlView::SelectAccessibleRange(html::TextRange range) {
    if (html::Document* const engine = Engine()) {
        engine->SetSelection(range.start, range.end);
        InvalidateAll();
    }
}

LRESULT CHtmlView::OnGetObject(WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 0;
    return m_accessibility.Answer(wParam, lParam, answer) ? answer : Default();
}

LRESULT CHtmlView::OnAnnounce(WPARAM, LPARAM) {
    m_accessibility.Announce();
    return 0;
}

void CHtmlView::OnContextMenu(CWindow, CPoint screenPoint) {
    POINT at = screenPoint;
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: at the pane's top-left corner.
        at = POINT{0, 0};
        ::ClientToScreen(m_hWnd, &at);
    }
    const HMENU menu = CreateContextMenu();
    if (!menu) return;
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    ExecuteCommand(command);
}

// Images

void CHtmlView::RequestImages() {
    html::Document* const engine = Engine();
    if (!engine) return;
    for (const html::ImageRequest& request : engine->TakeImageRequests()) {
        if (!m_imageLoader) m_imageLoader = std::make_unique<html::ImageLoader>(m_hWnd, kImagesReadyMessage);
        if (!m_imageLoader->Request(request.id, request.url)) engine->OnImageFailed(request.id);
    }
}

LRESULT CHtmlView::OnImagesReady(WPARAM, LPARAM) {
    html::Document* const engine = Engine();
    if (!engine || !m_imageLoader) return 0;
    for (const html::ImageLoadResult& result : m_imageLoader->TakeResults()) {
        const bool shown = result.status == html::ImageLoadStatus::Loaded && m_images.Add(result.id, result.image);
        if (shown) engine->OnImageLoaded(result.id, result.image.width, result.image.height);
        else engine->OnImageFailed(result.id);
    }
    SyncScrollBar();
    InvalidateAll();
    return 0;
}
