#include "framework/html/HitTester.h"

#include "framework/html/TextUnits.h"

#include <algorithm>

namespace html {

// Lines side by side (table cells) share a band; of those the point is in
// the one whose box holds it, else the lowest line above it in the same
// column, else the line across its y whose box is nearest (a point in a
// cell's padding finds that cell), else the next line below.
std::optional<std::size_t> HitTester::LineNear(int x, int y) const {
    const std::size_t first = m_layout.FirstLineEndingBelow(y);
    std::optional<std::size_t> inColumn;
    std::optional<std::size_t> acrossRow;
    int nearest = 0;
    for (std::size_t index = first; index < m_layout.LineCount() && m_layout.Line(index).band.top <= y; ++index) {
        const LineBox& line = m_layout.Line(index);
        const int distance = x < line.left ? line.left - x : x >= line.right ? x - line.right + 1 : 0;
        const bool acrossY = line.top <= y && y < line.Bottom();
        if (distance == 0 && acrossY) {
            return index;
        }
        if (acrossY && (!acrossRow || distance < nearest)) {
            acrossRow = index;
            nearest = distance;
        }
        if (distance == 0 && line.top <= y) {
            inColumn = index;
        }
    }
    if (inColumn || acrossRow) {
        return inColumn ? inColumn : acrossRow;
    }
    return first < m_layout.LineCount() ? std::optional<std::size_t>(first) : std::nullopt;
}

TextPosition HitTester::PositionAt(int x, int y) {
    if (m_layout.LineCount() == 0 || y < m_layout.Line(0).top) {
        return 0;
    }
    const std::optional<std::size_t> near = LineNear(x, y);
    if (!near) {
        return m_flow.End();
    }
    const std::size_t index = *near;
    const LineBox& line = m_layout.Line(index);
    const std::size_t end = m_layout.FragmentsEnd(index);
    if (line.firstFragment == end) {
        return line.start;
    }
    for (std::size_t i = line.firstFragment; i < end; ++i) {
        const Fragment& fragment = m_layout.FragmentAt(i);
        if (x < fragment.Right()) {
            return x <= fragment.x ? fragment.start : PositionInFragment(fragment, x);
        }
    }
    const Fragment& last = m_layout.FragmentAt(end - 1);
    return last.start + last.length;
}

const Fragment* HitTester::FragmentAt(int x, int y) const {
    const std::optional<std::size_t> near = LineNear(x, y);
    if (!near || y < m_layout.Line(*near).top || y >= m_layout.Line(*near).Bottom()) {
        return nullptr;
    }
    const std::size_t index = *near;
    const LineBox& line = m_layout.Line(index);
    const std::size_t end = m_layout.FragmentsEnd(index);
    for (std::size_t i = line.firstFragment; i < end; ++i) {
        const Fragment& fragment = m_layout.FragmentAt(i);
        if (x >= fragment.x && x < fragment.Right()) {
            return &fragment;
        }
    }
    return nullptr;
}

std::optional<TextPosition> HitTester::CharacterAt(int x, int y) {
    const Fragment* fragment = FragmentAt(x, y);
    if (fragment == nullptr) {
        return std::nullopt;
    }
    if (m_flow.RunAt(fragment->run).kind != RunKind::Text) {
        return fragment->start;
    }
    const FontSpec& font = m_styles.Font(m_flow.RunAt(fragment->run).style);
    const std::u16string_view text = m_flow.Text(fragment->start, fragment->length, m_scratch);
    // What fits left of the point lies before the character under it.
    const int last = std::max(0, static_cast<int>(text.size()) - 1);
    const int before = std::clamp(m_measurer.FitCount(font, text, x - fragment->x), 0, last);
    return fragment->start + static_cast<TextPosition>(before);
}

TextPosition HitTester::PositionInFragment(const Fragment& fragment, int x) {
    const int offset = x - fragment.x;
    if (m_flow.RunAt(fragment.run).kind != RunKind::Text) {
        return offset * 2 < fragment.width ? fragment.start : fragment.start + 1;
    }
    const FontSpec& font = m_styles.Font(m_flow.RunAt(fragment.run).style);
    const std::u16string_view text = m_flow.Text(fragment.start, fragment.length, m_scratch);
    const auto before =
        static_cast<std::size_t>(std::clamp(m_measurer.FitCount(font, text, offset), 0, static_cast<int>(text.size())));
    if (before == text.size()) {
        return fragment.start + fragment.length;
    }
    // The character under the point: its nearer edge wins.
    const std::size_t after = before + (IsHighSurrogate(text[before]) && before + 1 < text.size() ? 2 : 1);
    const int beforeX = m_measurer.TextWidth(font, text.substr(0, before));
    const int afterX = m_measurer.TextWidth(font, text.substr(0, after));
    const std::size_t nearer = offset - beforeX <= afterX - offset ? before : after;
    return fragment.start + static_cast<TextPosition>(nearer);
}

}  // namespace html
