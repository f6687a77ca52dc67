#include "framework/html/Painter.h"

#include <algorithm>

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
    for (std::size_t index = m_layout.FirstLineEndingBelow(documentTop);
         index < m_layout.LineCount() && m_layout.Line(index).top < documentBottom; ++index) {
        PaintLine(index);
    }
    m_surface.PopClip();
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
    const int baseline = ToClientY(line.top + line.ascent);

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

void Painter::DrawFrame(const Rect& rect, int thickness, Color color) {
    m_surface.FillRect(Rect{rect.left, rect.top, rect.right, rect.top + thickness}, color);
    m_surface.FillRect(Rect{rect.left, rect.bottom - thickness, rect.right, rect.bottom}, color);
    m_surface.FillRect(Rect{rect.left, rect.top, rect.left + thickness, rect.bottom}, color);
    m_surface.FillRect(Rect{rect.right - thickness, rect.top, rect.right, rect.bottom}, color);
}

bool Painter::IsSelected(TextPosition position) const {
    return position >= m_request.selectionStart && position < m_request.selectionEnd;
}

int Painter::ToClientY(int documentY) const { return documentY - m_request.scrollTop; }

}  // namespace html
