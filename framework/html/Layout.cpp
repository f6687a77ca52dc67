#include "framework/html/Layout.h"

#include "framework/html/BlockFlow.h"

#include <algorithm>
#include <optional>

namespace html {

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
    m_decorations.Clear();
    m_blockStarts.Clear();
    m_laidOutTo = 0;
    m_dirtyFrom = kNothingDirty;
    m_bottom = m_margins.top;
    m_pendingMargin = 0;
}

void Layout::InvalidateFrom(TextPosition position) {
    if (position < m_laidOutTo) {
        m_dirtyFrom = std::min(m_dirtyFrom, position);
    }
}

Layout::ResumePoint Layout::ResumeAt(TextPosition position) const {
    const std::size_t after =
        m_blockStarts.PartitionPoint([position](const ResumePoint& start) { return start.position > position; });
    if (after > 0 && position <= m_blockStarts[after - 1].end) {
        return m_blockStarts[after - 1];
    }
    if (m_lines.Empty()) {
        return ResumePoint{0, 0, 0, 0, 0, m_margins.top, 0};
    }
    // Outside every block: from the start of the line, which the blocks
    // before it end above.
    const std::size_t index = LineHolding(position);
    const LineBox& line = m_lines[index];
    const auto decoration = after < m_blockStarts.Size() ? m_blockStarts[after].decoration
                                                         : static_cast<std::uint32_t>(m_decorations.Size());
    return ResumePoint{line.start, line.start, static_cast<std::uint32_t>(index), line.firstFragment, decoration,
                       line.top,   0};
}

Layout::ResumePoint Layout::ResumeForAppend(const Flow& flow) const {
    if (m_laidOutTo > 0 && flow.CharAt(m_laidOutTo - 1) != kBreakCharacter) {
        return ResumeAt(m_laidOutTo - 1);
    }
    return ResumePoint{m_laidOutTo,
                       m_laidOutTo,
                       static_cast<std::uint32_t>(m_lines.Size()),
                       static_cast<std::uint32_t>(m_fragments.Size()),
                       static_cast<std::uint32_t>(m_decorations.Size()),
                       m_bottom,
                       m_pendingMargin};
}

void Layout::Truncate(const ResumePoint& point) {
    m_lines.Truncate(point.line);
    m_fragments.Truncate(point.fragment);
    m_decorations.Truncate(point.decoration);
    const TextPosition position = point.position;
    m_blockStarts.Truncate(
        m_blockStarts.PartitionPoint([position](const ResumePoint& start) { return start.position >= position; }));
}

void Layout::Update(const Flow& flow, const StyleTable& styles) {
    if (m_measurer == nullptr) {
        return;
    }
    std::optional<ResumePoint> resume;
    if (m_dirtyFrom < m_laidOutTo) {
        resume = ResumeAt(m_dirtyFrom);
    }
    if (m_laidOutTo < flow.End()) {
        const ResumePoint append = ResumeForAppend(flow);
        if (!resume || append.position < resume->position) {
            resume = append;
        }
    }
    m_dirtyFrom = kNothingDirty;
    if (!resume) {
        return;
    }
    Truncate(*resume);
    m_bottom = resume->top;
    m_pendingMargin = resume->pendingMargin;
    if (resume->position < flow.End()) {
        BlockFlow(*this, flow, styles).LayOut(resume->position, resume->top, resume->pendingMargin);
    }
    m_laidOutTo = flow.End();
}

int Layout::ContentBottom() const { return std::min(kMaxTop, m_bottom + m_pendingMargin); }

std::size_t Layout::FragmentsEnd(std::size_t index) const {
    return index + 1 < m_lines.Size() ? m_lines[index + 1].firstFragment : m_fragments.Size();
}

std::size_t Layout::FirstLineEndingBelow(int y) const {
    return m_lines.PartitionPoint([y](const LineBox& line) { return line.band.reach > y; });
}

std::size_t Layout::FirstDecorationEndingBelow(int y) const {
    return m_decorations.PartitionPoint([y](const Decoration& decoration) { return decoration.band.reach > y; });
}

std::size_t Layout::LineHolding(TextPosition position) const {
    const std::size_t after = m_lines.PartitionPoint([position](const LineBox& line) { return line.start > position; });
    return after == 0 ? 0 : after - 1;
}

}  // namespace html
