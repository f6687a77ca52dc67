#include "framework/html/LineBreaker.h"

#include "framework/html/TextUnits.h"

#include <algorithm>

namespace html {

namespace {

std::uint16_t ClampToUint16(int value) { return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF)); }

}  // namespace

LineBreaker::LineBreaker(Layout& layout, const Flow& flow, const StyleTable& styles)
    : m_layout(layout), m_flow(flow), m_styles(styles), m_measurer(*layout.m_measurer) {}

TextPosition LineBreaker::PlaceNext(std::size_t runIndex, TextPosition position) {
    const Run& run = m_flow.RunAt(runIndex);
    switch (run.kind) {
    case RunKind::Break:
        Grow(m_layout.m_fonts.Metrics(m_styles, run.style, m_measurer));
        FinishLine();
        BeginLine(position + 1);
        return position + 1;
    case RunKind::Image:
    case RunKind::Embed: PlaceObject(runIndex, position); return position + 1;
    case RunKind::BlockStart:
    case RunKind::BlockEnd: return position + 1;
    case RunKind::Text: break;
    }
    if (m_flow.CharAt(position) == kCollapsibleSpace) {
        PlaceSpace(runIndex, position);
        return position + 1;
    }
    return PlaceWord(runIndex, position);
}

bool LineBreaker::HasContent() const { return m_layout.m_fragments.Size() > m_lineFirstFragment; }

void LineBreaker::BeginLine(TextPosition start) {
    m_lineStart = start;
    m_lineFirstFragment = static_cast<std::uint32_t>(m_layout.m_fragments.Size());
    m_x = 0;
    m_ascent = 0;
    m_descent = 0;
    m_trailingSpaceWidth = 0;
}

void LineBreaker::SetBox(int left, int right, TextAlign align, bool wrap) {
    m_left = left;
    m_width = std::max(0, right - left);
    m_fitWidth = wrap ? m_width : Layout::kMaxTop;
    m_align = align;
    m_wrap = wrap;
}

void LineBreaker::EndLine() {
    if (HasContent()) {
        FinishLine();
    }
}

void LineBreaker::AddEmptyLine(TextPosition start, const FontMetrics& metrics) {
    BeginLine(start);
    Grow(metrics);
    FinishLine();
}

void LineBreaker::SetTop(int top) { m_top = std::min(Layout::kMaxTop, top); }

void LineBreaker::AddMargin(int margin, bool quirky) {
    if (!(quirky && m_atBoxTop)) {
        m_pendingMargin = std::max(m_pendingMargin, margin);
    }
}

void LineBreaker::CommitMargin() {
    SetTop(m_top + m_pendingMargin);
    m_pendingMargin = 0;
    m_atBoxTop = false;
}

void LineBreaker::FinishLine() {
    DropTrailingSpace();
    AlignLine(m_lineFirstFragment);
    CommitMargin();
    const int height = m_ascent + m_descent;
    PushLine(LineBox{m_lineStart, m_lineFirstFragment, m_top, ClampToUint16(height), ClampToUint16(m_ascent), m_left,
                     m_left + m_width, Band{}});
    SetTop(m_top + height);
}

void LineBreaker::PushLine(const LineBox& line) {
    auto& lines = m_layout.m_lines;
    const int reachBefore = lines.Empty() ? 0 : lines.Back().band.reach;
    lines.PushBack(line);
    lines.Back().band = Band{line.top, std::max(reachBefore, line.Bottom())};
}

// What is left of the box after the line's content goes before it (right)
// or half before it (centre).
void LineBreaker::AlignLine(std::size_t firstFragment) {
    const int room = m_width - m_x;
    if (room <= 0 || (m_align != TextAlign::Center && m_align != TextAlign::Right)) {
        return;
    }
    const int shift = m_align == TextAlign::Right ? room : room / 2;
    for (std::size_t index = firstFragment; index < m_layout.m_fragments.Size(); ++index) {
        m_layout.m_fragments[index].x += shift;
    }
}

// White space at the end of a line is not shown and takes no room.
void LineBreaker::DropTrailingSpace() {
    if (!HasContent()) {
        return;
    }
    Fragment& last = m_layout.m_fragments.Back();
    if (m_flow.RunAt(last.run).kind != RunKind::Text ||
        m_flow.CharAt(last.start + last.length - 1) != kCollapsibleSpace) {
        return;
    }
    last.length -= 1;
    last.width -= m_trailingSpaceWidth;
    m_x -= m_trailingSpaceWidth;
    if (last.length == 0) {
        m_layout.m_fragments.Truncate(m_layout.m_fragments.Size() - 1);
    }
}

void LineBreaker::Grow(const FontMetrics& metrics) {
    m_ascent = std::max(m_ascent, metrics.ascent);
    m_descent = std::max(m_descent, metrics.descent);
}

void LineBreaker::AddFragment(std::uint32_t run, TextPosition start, std::uint32_t length, int width) {
    auto& fragments = m_layout.m_fragments;
    if (HasContent()) {
        Fragment& last = fragments.Back();
        if (last.run == run && last.start + last.length == start) {
            last.length += length;
            last.width += width;
            m_x += width;
            return;
        }
    }
    fragments.PushBack(Fragment{start, length, run, m_left + m_x, width});
    m_x += width;
}

// Raised or lowered text (sup, sub) makes room above or below the baseline.
void LineBreaker::GrowForStyle(StyleId style) {
    const FontMetrics& metrics = m_layout.m_fonts.Metrics(m_styles, style, m_measurer);
    const int shift = m_styles.BaselineShift(style);
    Grow(FontMetrics{metrics.ascent + shift, metrics.descent - shift});
}

void LineBreaker::AddText(std::uint32_t run, TextPosition start, std::uint32_t length, int width) {
    GrowForStyle(m_flow.RunAt(run).style);
    AddFragment(run, start, length, width);
    m_trailingSpaceWidth = 0;
}

void LineBreaker::PlaceObject(std::size_t runIndex, TextPosition position) {
    const ObjectSize size = m_flow.SizeOf(m_flow.RunAt(runIndex).object, m_layout.m_scale);
    if (HasContent() && m_x + size.width > m_fitWidth) {
        FinishLine();
        BeginLine(position);
    }
    Grow(FontMetrics{size.height, 0});
    AddFragment(static_cast<std::uint32_t>(runIndex), position, 1, size.width);
    m_trailingSpaceWidth = 0;
}

// A space starting a line is dropped, as one after a broken word is.
void LineBreaker::PlaceSpace(std::size_t runIndex, TextPosition position) {
    if (!HasContent()) {
        return;
    }
    const StyleId style = m_flow.RunAt(runIndex).style;
    const int width = m_layout.m_fonts.SpaceWidth(m_styles, style, m_measurer);
    GrowForStyle(style);
    AddFragment(static_cast<std::uint32_t>(runIndex), position, 1, width);
    m_trailingSpaceWidth = width;
}

TextPosition LineBreaker::PlaceWord(std::size_t runIndex, TextPosition position) {
    const TextPosition end = CollectWord(runIndex, position);
    std::optional<int> width = MeasureWord();
    if (width && m_x + *width <= m_fitWidth) {
        PlaceSegments();
        return end;
    }
    if (HasContent()) {
        FinishLine();
        BeginLine(position);
        if (width && *width <= m_fitWidth) {
            PlaceSegments();
            return end;
        }
    }
    PlaceBrokenWord();
    return end;
}

// The word starting at `position`: its pieces, one per run, up to the
// next space, break, object or the end of the flow.
TextPosition LineBreaker::CollectWord(std::size_t runIndex, TextPosition position) {
    m_word.clear();
    const TextPosition flowEnd = m_flow.End();
    while (position < flowEnd) {
        if (position >= m_flow.RunEnd(runIndex)) {
            ++runIndex;
            continue;
        }
        if (m_flow.RunAt(runIndex).kind != RunKind::Text) {
            break;
        }
        const TextPosition runEnd = m_flow.RunEnd(runIndex);
        const TextPosition start = position;
        while (position < runEnd && m_flow.CharAt(position) != kCollapsibleSpace) {
            ++position;
        }
        m_word.push_back(Segment{static_cast<std::uint32_t>(runIndex), start, position - start});
        if (position < runEnd) {
            break;
        }
    }
    return position;
}

// The word's width with each piece's width in m_widths, or nullopt as
// soon as it is known to be wider than a whole line.
std::optional<int> LineBreaker::MeasureWord() {
    m_widths.clear();
    int total = 0;
    for (const Segment& segment : m_word) {
        const FontSpec& font = m_styles.Font(m_flow.RunAt(segment.run).style);
        int width = 0;
        for (std::uint32_t offset = 0, length = 0; offset < segment.length; offset += length) {
            length = m_flow.SliceLength(segment.start + offset, segment.length - offset);
            width += m_measurer.TextWidth(font, m_flow.Text(segment.start + offset, length, m_scratch));
            if (total + width > m_fitWidth) {
                return std::nullopt;
            }
        }
        m_widths.push_back(width);
        total += width;
    }
    return total;
}

void LineBreaker::PlaceSegments() {
    for (std::size_t i = 0; i < m_word.size(); ++i) {
        AddText(m_word[i].run, m_word[i].start, m_word[i].length, m_widths[i]);
    }
}

void LineBreaker::PlaceBrokenWord() {
    for (const Segment& segment : m_word) {
        const FontSpec& font = m_styles.Font(m_flow.RunAt(segment.run).style);
        std::uint32_t offset = 0;
        while (offset < segment.length) {
            const std::u16string_view slice = SliceAt(segment, offset);
            std::uint32_t count = FitCount(font, slice);
            if (count > 0) {
                const int width = m_measurer.TextWidth(font, slice.substr(0, count));
                AddText(segment.run, segment.start + offset, count, width);
                offset += count;
            }
            if (count < slice.size()) {
                FinishLine();
                BeginLine(segment.start + offset);
            }
        }
    }
}

// The slice of the segment from `offset` that is measured at once.
std::u16string_view LineBreaker::SliceAt(const Segment& segment, std::uint32_t offset) {
    const std::uint32_t length = m_flow.SliceLength(segment.start + offset, segment.length - offset);
    return m_flow.Text(segment.start + offset, length, m_scratch);
}

// How much of `slice` goes on the current line. A line always takes at
// least one character (a whole surrogate pair), or nothing would ever
// fit in a line narrower than one character.
std::uint32_t LineBreaker::FitCount(const FontSpec& font, std::u16string_view slice) {
    const int room = m_fitWidth - m_x;
    int count = room > 0 ? m_measurer.FitCount(font, slice, room) : 0;
    count = std::clamp(count, 0, static_cast<int>(slice.size()));
    if (count == 0 && !HasContent()) {
        count = slice.size() > 1 && IsHighSurrogate(slice[0]) && IsLowSurrogate(slice[1]) ? 2 : 1;
    }
    return static_cast<std::uint32_t>(count);
}

}  // namespace html
