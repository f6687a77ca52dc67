#include "framework/html/Layout.h"

#include "framework/html/TextUnits.h"

#include <algorithm>
#include <optional>

namespace html {

namespace {

// Long words are measured and fitted this many units at a time, so that a
// megabyte without a space costs linear time whatever the measurer does with
// the text it is given.
constexpr std::size_t kSliceLength = 256;

std::uint16_t ClampToUint16(int value) { return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF)); }

}  // namespace

void FontCache::Clear() { m_entries.clear(); }

FontCache::Entry& FontCache::Measured(const StyleTable& styles, StyleId style, TextMeasurer& measurer) {
    const std::size_t index = styles.FontIndex(style);
    if (index >= m_entries.size()) {
        m_entries.resize(index + 1);
    }
    Entry& entry = m_entries[index];
    if (!entry.measured) {
        const FontSpec& font = styles.Font(style);
        entry.metrics = measurer.Metrics(font);
        entry.spaceWidth = measurer.TextWidth(font, u" ");
        entry.measured = true;
    }
    return entry;
}

const FontMetrics& FontCache::Metrics(const StyleTable& styles, StyleId style, TextMeasurer& measurer) {
    return Measured(styles, style, measurer).metrics;
}

int FontCache::SpaceWidth(const StyleTable& styles, StyleId style, TextMeasurer& measurer) {
    return Measured(styles, style, measurer).spaceWidth;
}

// Fills line boxes from a position to the end of the flow: words (runs of
// non-space characters, possibly across styles) go on the line while they
// fit; a collapsible space is a break opportunity and hangs at the end of a
// line; a word wider than the whole line is broken where it stops fitting.
class LineBreaker {
public:
    LineBreaker(Layout& layout, const Flow& flow, const StyleTable& styles)
        : m_layout(layout),
          m_flow(flow),
          m_styles(styles),
          m_measurer(*layout.m_measurer),
          m_left(layout.ContentLeft()),
          m_width(layout.ContentWidth()) {}

    void LayOut(TextPosition from, int top) {
        m_top = top;
        BeginLine(from);
        const TextPosition end = m_flow.End();
        TextPosition position = from;
        std::size_t runIndex = m_flow.RunIndexAt(from);
        while (position < end) {
            while (position >= m_flow.RunEnd(runIndex)) {
                ++runIndex;
            }
            position = PlaceNext(runIndex, position);
        }
        if (HasContent()) {
            FinishLine();
        }
    }

private:
    struct Segment {
        std::uint32_t run;
        TextPosition start;
        std::uint32_t length;
    };

    TextPosition PlaceNext(std::size_t runIndex, TextPosition position) {
        const Run& run = m_flow.RunAt(runIndex);
        switch (run.kind) {
        case RunKind::Break:
            Grow(m_layout.m_fonts.Metrics(m_styles, run.style, m_measurer));
            FinishLine();
            BeginLine(position + 1);
            return position + 1;
        case RunKind::Image:
        case RunKind::Embed: PlaceObject(runIndex, position); return position + 1;
        case RunKind::Text: break;
        }
        if (m_flow.CharAt(position) == kCollapsibleSpace) {
            PlaceSpace(runIndex, position);
            return position + 1;
        }
        return PlaceWord(runIndex, position);
    }

    bool HasContent() const { return m_layout.m_fragments.Size() > m_lineFirstFragment; }

    void BeginLine(TextPosition start) {
        m_lineStart = start;
        m_lineFirstFragment = static_cast<std::uint32_t>(m_layout.m_fragments.Size());
        m_x = 0;
        m_ascent = 0;
        m_descent = 0;
        m_trailingSpaceWidth = 0;
    }

    void FinishLine() {
        DropTrailingSpace();
        const int height = m_ascent + m_descent;
        m_layout.m_lines.PushBack(
            LineBox{m_lineStart, m_lineFirstFragment, m_top, ClampToUint16(height), ClampToUint16(m_ascent)});
        m_top = std::min(Layout::kMaxTop, m_top + height);
    }

    // White space at the end of a line is not shown and takes no room.
    void DropTrailingSpace() {
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

    void Grow(const FontMetrics& metrics) {
        m_ascent = std::max(m_ascent, metrics.ascent);
        m_descent = std::max(m_descent, metrics.descent);
    }

    void AddFragment(std::uint32_t run, TextPosition start, std::uint32_t length, int width) {
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

    void AddText(std::uint32_t run, TextPosition start, std::uint32_t length, int width) {
        Grow(m_layout.m_fonts.Metrics(m_styles, m_flow.RunAt(run).style, m_measurer));
        AddFragment(run, start, length, width);
        m_trailingSpaceWidth = 0;
    }

    void PlaceObject(std::size_t runIndex, TextPosition position) {
        const ObjectSize size = m_flow.SizeOf(m_flow.RunAt(runIndex).object, m_layout.m_scale);
        if (HasContent() && m_x + size.width > m_width) {
            FinishLine();
            BeginLine(position);
        }
        Grow(FontMetrics{size.height, 0});
        AddFragment(static_cast<std::uint32_t>(runIndex), position, 1, size.width);
        m_trailingSpaceWidth = 0;
    }

    // A space starting a line is dropped, as one after a broken word is.
    void PlaceSpace(std::size_t runIndex, TextPosition position) {
        if (!HasContent()) {
            return;
        }
        const StyleId style = m_flow.RunAt(runIndex).style;
        const int width = m_layout.m_fonts.SpaceWidth(m_styles, style, m_measurer);
        Grow(m_layout.m_fonts.Metrics(m_styles, style, m_measurer));
        AddFragment(static_cast<std::uint32_t>(runIndex), position, 1, width);
        m_trailingSpaceWidth = width;
    }

    TextPosition PlaceWord(std::size_t runIndex, TextPosition position) {
        const TextPosition end = CollectWord(runIndex, position);
        std::optional<int> width = MeasureWord();
        if (width && m_x + *width <= m_width) {
            PlaceSegments();
            return end;
        }
        if (HasContent()) {
            FinishLine();
            BeginLine(position);
            if (width && *width <= m_width) {
                PlaceSegments();
                return end;
            }
        }
        PlaceBrokenWord();
        return end;
    }

    // The word starting at `position`: its pieces, one per run, up to the
    // next space, break, object or the end of the flow.
    TextPosition CollectWord(std::size_t runIndex, TextPosition position) {
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
    std::optional<int> MeasureWord() {
        m_widths.clear();
        int total = 0;
        for (const Segment& segment : m_word) {
            const FontSpec& font = m_styles.Font(m_flow.RunAt(segment.run).style);
            int width = 0;
            for (std::uint32_t offset = 0; offset < segment.length; offset += kSliceLength) {
                const std::uint32_t length = std::min<std::uint32_t>(kSliceLength, segment.length - offset);
                width += m_measurer.TextWidth(font, m_flow.Text(segment.start + offset, length, m_scratch));
                if (total + width > m_width) {
                    return std::nullopt;
                }
            }
            m_widths.push_back(width);
            total += width;
        }
        return total;
    }

    void PlaceSegments() {
        for (std::size_t i = 0; i < m_word.size(); ++i) {
            AddText(m_word[i].run, m_word[i].start, m_word[i].length, m_widths[i]);
        }
    }

    void PlaceBrokenWord() {
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

    // Up to kSliceLength units of the segment from `offset`, never ending
    // between the halves of a surrogate pair.
    std::u16string_view SliceAt(const Segment& segment, std::uint32_t offset) {
        std::uint32_t length = std::min<std::uint32_t>(kSliceLength, segment.length - offset);
        if (length > 1 && offset + length < segment.length &&
            IsHighSurrogate(m_flow.CharAt(segment.start + offset + length - 1))) {
            --length;
        }
        return m_flow.Text(segment.start + offset, length, m_scratch);
    }

    // How much of `slice` goes on the current line. A line always takes at
    // least one character (a whole surrogate pair), or nothing would ever
    // fit in a line narrower than one character.
    std::uint32_t FitCount(const FontSpec& font, std::u16string_view slice) {
        const int room = m_width - m_x;
        int count = room > 0 ? m_measurer.FitCount(font, slice, room) : 0;
        count = std::clamp(count, 0, static_cast<int>(slice.size()));
        if (count == 0 && !HasContent()) {
            count = slice.size() > 1 && IsHighSurrogate(slice[0]) && IsLowSurrogate(slice[1]) ? 2 : 1;
        }
        return static_cast<std::uint32_t>(count);
    }

    Layout& m_layout;
    const Flow& m_flow;
    const StyleTable& m_styles;
    TextMeasurer& m_measurer;
    const int m_left;
    const int m_width;

    int m_top = 0;
    TextPosition m_lineStart = 0;
    std::uint32_t m_lineFirstFragment = 0;
    int m_x = 0;
    int m_ascent = 0;
    int m_descent = 0;
    int m_trailingSpaceWidth = 0;

    std::vector<Segment> m_word;
    std::vector<int> m_widths;
    std::u16string m_scratch;
};

void Layout::SetFrame(int viewportWidth, const BodyMargins& margins) {
    if (viewportWidth == m_viewportWidth && margins == m_margins) {
        return;
    }
    m_viewportWidth = viewportWidth;
    m_margins = margins;
    m_contentWidth = std::max(0, viewportWidth - margins.left - margins.right);
    InvalidateAll();
}

void Layout::SetMeasurer(TextMeasurer& measurer) {
    if (m_measurer == &measurer) {
        return;
    }
    m_measurer = &measurer;
    m_fonts.Clear();
    InvalidateAll();
}

void Layout::SetScale(const CssScale& scale) {
    if (scale == m_scale) {
        return;
    }
    m_scale = scale;
    // Font sizes change with it.
    m_fonts.Clear();
    InvalidateAll();
}

void Layout::Clear() { InvalidateAll(); }

void Layout::InvalidateAll() {
    m_lines.Clear();
    m_fragments.Clear();
    m_laidOutTo = 0;
    m_dirtyLine = kNothingDirty;
}

void Layout::InvalidateFrom(TextPosition position) {
    if (position < m_laidOutTo) {
        m_dirtyLine = std::min(m_dirtyLine, LineHolding(position));
    }
}

std::size_t Layout::OpenLine(const Flow& flow) const {
    if (m_lines.Empty()) {
        return 0;
    }
    const bool endedInBreak = m_laidOutTo > 0 && flow.CharAt(m_laidOutTo - 1) == kBreakCharacter;
    return endedInBreak ? m_lines.Size() : m_lines.Size() - 1;
}

void Layout::Update(const Flow& flow, const StyleTable& styles) {
    if (m_measurer == nullptr) {
        return;
    }
    std::size_t restart = m_dirtyLine;
    if (m_laidOutTo < flow.End()) {
        restart = std::min(restart, OpenLine(flow));
    }
    if (restart == kNothingDirty) {
        return;
    }
    TextPosition from = m_laidOutTo;
    int top = ContentBottom();
    if (restart < m_lines.Size()) {
        from = m_lines[restart].start;
        top = m_lines[restart].top;
        m_fragments.Truncate(m_lines[restart].firstFragment);
        m_lines.Truncate(restart);
    }
    if (from < flow.End()) {
        LineBreaker(*this, flow, styles).LayOut(from, top);
    }
    m_laidOutTo = flow.End();
    m_dirtyLine = kNothingDirty;
}

int Layout::ContentBottom() const { return m_lines.Empty() ? m_margins.top : m_lines.Back().Bottom(); }

std::size_t Layout::FragmentsEnd(std::size_t index) const {
    return index + 1 < m_lines.Size() ? m_lines[index + 1].firstFragment : m_fragments.Size();
}

std::size_t Layout::FirstLineEndingBelow(int y) const {
    return m_lines.PartitionPoint([y](const LineBox& line) { return line.Bottom() > y; });
}

std::size_t Layout::LineHolding(TextPosition position) const {
    const std::size_t after = m_lines.PartitionPoint([position](const LineBox& line) { return line.start > position; });
    return after == 0 ? 0 : after - 1;
}

}  // namespace html
