// PaneScrollBar: the pane's own vertical scroll bar: its parts' geometry,
// hit testing, what the mouse holds (the thumb being dragged, or an arrow or
// the track held down and repeating), and painting in the colours that the
// template's style gives (the classic scrollbar-*-color properties). The
// window around it keeps the capture and the repeat timer.
//
// Self-drawn rather than the system's bar, which cannot take those colours.
// It is always shown, greyed while the content fits, as the classic browser
// body did, so the text never re-wraps when the content first overflows.
#pragma once

#include "framework/DpiScale.h"
#include "framework/html/Drawing.h"
#include "framework/html/TemplateStyle.h"

#include <windows.h>

namespace html {

enum class ScrollBarPart { None, UpArrow, PageUp, Thumb, PageDown, DownArrow };

class PaneScrollBar {
public:
    static constexpr int kMinimumThumb = 8;  // at 96 DPI
    // A held arrow or track steps once when pressed, again after the delay,
    // then at every interval.
    static constexpr unsigned kRepeatDelayMs = 400;
    static constexpr unsigned kRepeatIntervalMs = 50;

    void SetBounds(const Rect& bounds) { m_bounds = bounds; }
    // The window's DPI: the smallest thumb and the bevels' lines follow it.
    void SetDpi(DpiScale scale) { m_scale = scale; }
    const Rect& Bounds() const { return m_bounds; }
    void SetRange(int scrollHeight, int clientHeight, int scrollTop);

    // Whether there is anything to scroll.
    bool IsEnabled() const { return MaximumScrollTop() > 0; }
    int MaximumScrollTop() const;

    // An empty rectangle for a part that is not shown (the thumb of a
    // disabled bar, or one that has no room).
    Rect PartRect(ScrollBarPart part) const;
    ScrollBarPart HitTest(int x, int y) const;
    // The scroll top that puts the thumb's top edge at `thumbTop`, clamped.
    int ScrollTopForThumb(int thumbTop) const;

    // The mouse pressed at (x, y), on the bar: the thumb is grabbed there,
    // an arrow or the track is held down. The part pressed; None misses.
    ScrollBarPart Press(int x, int y);
    bool IsDraggingThumb() const { return m_draggingThumb; }
    // The scroll top that the grabbed thumb gives with the pointer at `y`.
    int DraggedScrollTop(int y) const { return ScrollTopForThumb(y - m_grabOffset); }
    // The arrow or track part held down, or None.
    ScrollBarPart HeldPart() const { return m_held; }
    // Whether the held part steps again with the pointer at (x, y): paging
    // stops once the thumb has reached the pointer.
    bool RepeatsAt(int x, int y) const { return m_held != ScrollBarPart::None && HitTest(x, y) == m_held; }
    // The mouse let go. True when a held part, drawn pushed in, is let go.
    bool Release();

    // The held part is drawn pushed in.
    void Paint(HDC dc, const TemplateStyle& colours) const;

private:
    int ArrowHeight() const;
    Rect Track() const;
    int ThumbLength() const;
    void DrawButton(HDC dc, const Rect& rect, const TemplateStyle& colours, bool pressed) const;

    DpiScale m_scale;
    Rect m_bounds;
    int m_scrollHeight = 0;
    int m_clientHeight = 0;
    int m_scrollTop = 0;
    ScrollBarPart m_held = ScrollBarPart::None;
    bool m_draggingThumb = false;
    int m_grabOffset = 0;  // from the thumb's top to the pointer
};

}  // namespace html
