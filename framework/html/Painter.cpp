#include "framework/html/Painter.h"

#include <algorithm>
#include <cmath>

namespace html {

namespace {

constexpr Color kPlaceholderBorder = Rgb(0x80, 0x80, 0x80);
constexpr Color kPlaceholderFill = Rgb(0xF0, 0xF0, 0xF0);
constexpr Color kEmbedLabelColor = Rgb(0x40, 0x40, 0x40);
constexpr std::u16string_view kEmbedLabel = u"embed";
// In CSS pixels.
constexpr int kEmbedLabelInset = 3;
constexpr int kPlaceholderFrame = 1;
constexpr int kSelectedObjectFrame = 2;

// The two shades of a raised or sunken frame in a colour, as browsers draw
// inset and outset borders.
constexpr double kBevelLight = 0.5;
constexpr double kBevelDark = 1.0 / 3;

}  // namespace

void Painter::Paint(const PaintRequest& request) {
    m_request = request;
    if (request.dirty.IsEmpty()) {
        return;
    }
    m_surface.PushClip(request.dirty);
    m_surface.FillRect(request.dirty, request.background);
    const int documentTop = request.dirty.top + request.scrollTop;
    const int documentBottom = request.dirty.bottom + request.scrollTop;
    for (std::size_t index = m_layout.FirstDecorationEndingBelow(documentTop);
         index < m_layout.DecorationCount() && m_layout.DecorationAt(index).band.top < documentBottom; ++index) {
        const Decoration& decoration = m_layout.DecorationAt(index);
        if (decoration.rect.bottom > documentTop && decoration.rect.top < documentBottom &&
            decoration.rect.left < request.dirty.right && decoration.rect.right > request.dirty.left) {
            PaintDecoration(decoration);
        }
    }
    for (std::size_t index = m_layout.FirstLineEndingBelow(documentTop);
         index < m_layout.LineCount() && m_layout.Line(index).band.top < documentBottom; ++index) {
        const LineBox& line = m_layout.Line(index);
        // Content may overflow a line's box to the right, never to the left.
        const bool meetsDirty =
            line.Bottom() > documentTop && line.top < documentBottom && line.left < request.dirty.right;
        if (meetsDirty) {
            PaintLine(index);
        }
    }
    m_surface.PopClip();
}

void Painter::PaintDecoration(const Decoration& decoration) {
    const Rect rect{decoration.rect.left, ToClientY(decoration.rect.top), decoration.rect.right,
                    ToClientY(decoration.rect.bottom)};
    if (decoration.kind == Decoration::Kind::Marker) {
        PaintMarker(decoration, rect);
        return;
    }
    if (decoration.fill != kTransparent) {
        m_surface.FillRect(rect, decoration.fill);
    }
    if (decoration.borderStyle != BorderStyle::None && decoration.border > 0) {
        const Color light = LightenColor(decoration.borderColor, kBevelLight);
        const Color dark = DarkenColor(decoration.borderColor, kBevelDark);
        const bool sunken = decoration.borderStyle == BorderStyle::Inset;
        const bool solid = decoration.borderStyle == BorderStyle::Solid;
        DrawBevel(rect, decoration.border,
                  solid    ? decoration.borderColor
                  : sunken ? dark
                           : light,
                  solid    ? decoration.borderColor
                  : sunken ? light
                           : dark);
    }
}

// Numbers are text in the item's font; discs, circles and squares are
// filled a row at a time, so they need nothing but rectangles.
void Painter::PaintMarker(const Decoration& marker, const Rect& rect) {
    if (!IsShapeMarker(marker.marker)) {
        const FontSpec& font = m_styles.Font(marker.style);
        m_surface.DrawTextRun(font, rect.left, rect.top + m_surface.Metrics(font).ascent,
                              ListMarkerText(marker.marker, marker.ordinal), marker.fill);
        return;
    }
    if (marker.marker == ListMarker::Square) {
        m_surface.FillRect(rect, marker.fill);
        return;
    }
    const int size = rect.Width();
    const double radius = size / 2.0;
    const double hole = marker.marker == ListMarker::Circle ? std::max(0.0, radius - std::max(1.0, size / 5.0)) : 0;
    for (int row = 0; row < size; ++row) {
        const double dy = row + 0.5 - radius;
        const double half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
        const double inner = hole > std::abs(dy) ? std::sqrt(hole * hole - dy * dy) : 0;
        const int y = rect.top + row;
        const auto edge = [&](double offset) { return rect.left + static_cast<int>(std::lround(radius + offset)); };
        if (inner <= 0) {
            m_surface.FillRect(Rect{edge(-half), y, edge(half), y + 1}, marker.fill);
        } else {
            m_surface.FillRect(Rect{edge(-half), y, edge(-inner), y + 1}, marker.fill);
            m_surface.FillRect(Rect{edge(inner), y, edge(half), y + 1}, marker.fill);
        }
    }
}

// A frame whose top and left edges have one colour and its bottom and right
// edges another: the look of a raised or sunken border.
void Painter::DrawBevel(const Rect& rect, int thickness, Color topLeft, Color bottomRight) {
    m_surface.FillRect(Rect{rect.left, rect.top, rect.right, rect.top + thickness}, topLeft);
    m_surface.FillRect(Rect{rect.left, rect.bottom - thickness, rect.right, rect.bottom}, bottomRight);
    m_surface.FillRect(Rect{rect.left, rect.top, rect.left + thickness, rect.bottom}, topLeft);
    m_surface.FillRect(Rect{rect.right - thickness, rect.top, rect.right, rect.bottom}, bottomRight);
}

void Painter::PaintLine(std::size_t index) {
    const LineBox& line = m_layout.Line(index);
    const std::size_t end = m_layout.FragmentsEnd(index);
    for (std::size_t i = line.firstFragment; i < end; ++i) {
        const Fragment& fragment = m_layout.FragmentAt(i);
        if (fragment.x >= m_request.dirty.right || fragment.Right() < m_request.dirty.left) {
            continue;
        }
        if (m_flow.RunAt(fragment.run).kind == RunKind::Text) {
            PaintText(fragment, line);
        } else {
            PaintObject(fragment, line);
        }
    }
}

void Painter::PaintText(const Fragment& fragment, const LineBox& line) {
    const Run& run = m_flow.RunAt(fragment.run);
    const FontSpec& font = m_styles.Font(run.style);
    const Color color = m_styles.TextColor(run.style);
    const std::u16string_view text = m_flow.Text(fragment.start, fragment.length, m_scratch);
    const int baseline = ToClientY(line.top + line.ascent) - m_styles.BaselineShift(run.style);
    if (const Color background = m_styles.Background(run.style); background != kTransparent) {
        m_surface.FillRect(Rect{fragment.x, ToClientY(line.top), fragment.Right(), ToClientY(line.Bottom())},
                           background);
    }

    const auto clampToFragment = [&](TextPosition position) {
        return static_cast<std::size_t>(
            std::clamp<std::int64_t>(std::int64_t{position} - fragment.start, 0, fragment.length));
    };
    const std::size_t selectedFrom = clampToFragment(m_request.selectionStart);
    const std::size_t selectedTo = clampToFragment(m_request.selectionEnd);
    if (selectedFrom >= selectedTo) {
        m_surface.DrawTextRun(font, fragment.x, baseline, text, color);
        return;
    }
    const int fromX = fragment.x + m_surface.TextWidth(font, text.substr(0, selectedFrom));
    const int toX = selectedTo == text.size() ? fragment.Right()
                                              : fragment.x + m_surface.TextWidth(font, text.substr(0, selectedTo));
    m_surface.FillRect(Rect{fromX, ToClientY(line.top), toX, ToClientY(line.Bottom())},
                       m_request.selectionColors.background);
    if (selectedFrom > 0) {
        m_surface.DrawTextRun(font, fragment.x, baseline, text.substr(0, selectedFrom), color);
    }
    m_surface.DrawTextRun(font, fromX, baseline, text.substr(selectedFrom, selectedTo - selectedFrom),
                          m_request.selectionColors.text);
    if (selectedTo < text.size()) {
        m_surface.DrawTextRun(font, toX, baseline, text.substr(selectedTo), color);
    }
}

void Painter::PaintObject(const Fragment& fragment, const LineBox& line) {
    const Run& run = m_flow.RunAt(fragment.run);
    const EmbeddedObject& object = m_flow.Object(run.object);
    const int baseline = ToClientY(line.top + line.ascent);
    const CssScale& scale = m_layout.Scale();
    const Rect box{fragment.x, baseline - m_flow.SizeOf(run.object, scale).height, fragment.Right(), baseline};
    if (object.kind == RunKind::Image && object.state == EmbeddedObject::State::Loaded) {
        m_surface.DrawImage(static_cast<int>(run.object), box);
    } else {
        m_surface.FillRect(box, kPlaceholderFill);
        DrawFrame(box, scale.Line(kPlaceholderFrame), kPlaceholderBorder);
        if (object.kind == RunKind::Embed) {
            const FontSpec& font = m_styles.Font(run.style);
            const FontMetrics metrics = m_surface.Metrics(font);
            m_surface.PushClip(box);
            m_surface.DrawTextRun(font, box.left + scale.Length(kEmbedLabelInset),
                                  box.top + (box.Height() + metrics.ascent - metrics.descent) / 2, kEmbedLabel,
                                  kEmbedLabelColor);
            m_surface.PopClip();
        }
    }
    if (IsSelected(fragment.start)) {
        DrawFrame(box, scale.Line(kSelectedObjectFrame), m_request.selectionColors.background);
    }
}

void Painter::DrawFrame(const Rect& rect, int thickness, Color color) { DrawBevel(rect, thickness, color, color); }

bool Painter::IsSelected(TextPosition position) const {
    return position >= m_request.selectionStart && position < m_request.selectionEnd;
}

int Painter::ToClientY(int documentY) const { return documentY - m_request.scrollTop; }

}  // namespace html
