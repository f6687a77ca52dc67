#include "framework/html/PaneScrollBar.h"

#include "framework/Gdi.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace html {
namespace {

void Fill(HDC dc, const Rect& rect, Color color) {
    if (rect.IsEmpty()) return;
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    const COLORREF previous = ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
}

Rect Inset(const Rect& r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// A bevel `width` pixels wide along the inside of `r`.
void Frame(HDC dc, const Rect& r, int width, Color topLeft, Color bottomRight) {
    for (int ring = 0; ring < width; ++ring) {
        const Rect inner = Inset(r, ring);
        CDCHandle(dc).Draw3dRect(RECT{inner.left, inner.top, inner.right, inner.bottom}, topLeft, bottomRight);
    }
}

enum class Direction { Up, Down };

void DrawArrow(HDC dc, const Rect& button, Direction direction, Color color, int offset) {
    const int size = std::max(2, std::min(button.Width(), button.Height()) / 4);
    const int centreX = button.left + button.Width() / 2 + offset;
    const int top = button.top + (button.Height() - size) / 2 + offset;
    for (int row = 0; row < size; ++row) {
        const int halfWidth = direction == Direction::Up ? row : size - 1 - row;
        Fill(dc, {centreX - halfWidth, top + row, centreX + halfWidth + 1, top + row + 1}, color);
    }
}

}  // namespace

// A classic raised button (two bevels), or a flat pushed-in one.
void PaneScrollBar::DrawButton(HDC dc, const Rect& rect, const TemplateStyle& colours, bool pressed) const {
    if (rect.IsEmpty()) return;
    Fill(dc, rect, colours.scrollbarFace);
    const int line = m_scale.Line(1);
    if (pressed) {
        Frame(dc, rect, line, colours.scrollbarShadow, colours.scrollbarShadow);
        return;
    }
    Frame(dc, rect, line, colours.scrollbar3dLight, colours.scrollbarDarkShadow);
    Frame(dc, Inset(rect, line), line, colours.scrollbarHighlight, colours.scrollbarShadow);
}

void PaneScrollBar::SetRange(int scrollHeight, int clientHeight, int scrollTop) {
    m_scrollHeight = std::max(0, scrollHeight);
    m_clientHeight = std::max(0, clientHeight);
    m_scrollTop = std::clamp(scrollTop, 0, MaximumScrollTop());
}

int PaneScrollBar::MaximumScrollTop() const { return std::max(0, m_scrollHeight - m_clientHeight); }

int PaneScrollBar::ArrowHeight() const { return std::max(0, std::min(m_bounds.Width(), m_bounds.Height() / 2)); }

Rect PaneScrollBar::Track() const {
    const int arrow = ArrowHeight();
    return {m_bounds.left, m_bounds.top + arrow, m_bounds.right, m_bounds.bottom - arrow};
}

int PaneScrollBar::ThumbLength() const {
    const int track = Track().Height();
    const int minimum = m_scale.Edge(kMinimumThumb);
    if (!IsEnabled() || track < minimum) return 0;
    const auto proportional = static_cast<int>(static_cast<std::int64_t>(track) * m_clientHeight / m_scrollHeight);
    return std::clamp(proportional, minimum, track);
}

Rect PaneScrollBar::PartRect(ScrollBarPart part) const {
    const int arrow = ArrowHeight();
    const Rect track = Track();
    const int thumbLength = ThumbLength();
    const int travel = track.Height() - thumbLength;
    const int thumbTop =
        track.top +
        (IsEnabled() ? static_cast<int>(static_cast<std::int64_t>(travel) * m_scrollTop / MaximumScrollTop()) : 0);
    const int thumbBottom = thumbTop + thumbLength;
    switch (part) {
    case ScrollBarPart::UpArrow: return {m_bounds.left, m_bounds.top, m_bounds.right, m_bounds.top + arrow};
    case ScrollBarPart::DownArrow: return {m_bounds.left, m_bounds.bottom - arrow, m_bounds.right, m_bounds.bottom};
    case ScrollBarPart::Thumb: return thumbLength ? Rect{track.left, thumbTop, track.right, thumbBottom} : Rect{};
    case ScrollBarPart::PageUp: return thumbLength ? Rect{track.left, track.top, track.right, thumbTop} : Rect{};
    case ScrollBarPart::PageDown:
        return thumbLength ? Rect{track.left, thumbBottom, track.right, track.bottom} : Rect{};
    case ScrollBarPart::None: break;
    }
    return {};
}

ScrollBarPart PaneScrollBar::HitTest(int x, int y) const {
    constexpr ScrollBarPart kParts[] = {ScrollBarPart::UpArrow, ScrollBarPart::DownArrow, ScrollBarPart::Thumb,
                                        ScrollBarPart::PageUp, ScrollBarPart::PageDown};
    for (const ScrollBarPart part : kParts) {
        if (PartRect(part).Contains(x, y)) return part;
    }
    return ScrollBarPart::None;
}

int PaneScrollBar::ScrollTopForThumb(int thumbTop) const {
    const Rect track = Track();
    const int travel = track.Height() - ThumbLength();
    if (travel <= 0 || !IsEnabled()) return 0;
    const int along = std::clamp(thumbTop - track.top, 0, travel);
    // Rounded to the nearest, so dragging to either end reaches it exactly.
    return static_cast<int>((static_cast<std::int64_t>(along) * MaximumScrollTop() + travel / 2) / travel);
}

ScrollBarPart PaneScrollBar::Press(int x, int y) {
    const ScrollBarPart part = HitTest(x, y);
    if (part == ScrollBarPart::Thumb) {
        m_draggingThumb = true;
        m_grabOffset = y - PartRect(part).top;
    } else {
        m_held = part;
    }
    return part;
}

bool PaneScrollBar::Release() {
    const bool held = m_held != ScrollBarPart::None;
    m_held = ScrollBarPart::None;
    m_draggingThumb = false;
    return held;
}

void PaneScrollBar::Paint(HDC dc, const TemplateStyle& colours) const {
    if (m_bounds.IsEmpty()) return;
    Fill(dc, m_bounds, colours.scrollbarTrack);
    const Color arrow = IsEnabled() ? colours.scrollbarArrow : colours.scrollbarShadow;
    for (const auto& [part, direction] :
         {std::pair{ScrollBarPart::UpArrow, Direction::Up}, std::pair{ScrollBarPart::DownArrow, Direction::Down}}) {
        const Rect button = PartRect(part);
        const bool down = m_held == part;
        DrawButton(dc, button, colours, down);
        DrawArrow(dc, button, direction, arrow, down ? m_scale.Line(1) : 0);
    }
    DrawButton(dc, PartRect(ScrollBarPart::Thumb), colours, false);
    if (m_held == ScrollBarPart::PageUp || m_held == ScrollBarPart::PageDown) {
        Fill(dc, PartRect(m_held), colours.scrollbarShadow);
    }
}

}  // namespace html
