// PaneScrollBar: the pane's own vertical scroll bar: its parts' geometry,
// hit testing, thumb dragging arithmetic, and painting in the colours that
// the template's style gives (the classic scrollbar-*-color properties).
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

    // `pressed` is drawn pushed in.
    void Paint(HDC dc, const TemplateStyle& colours, ScrollBarPart pressed) const;

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
};

}  // namespace html
