#include "framework/html/ParagraphIndex.h"

#include <algorithm>

namespace html {

// Only a break or a block's edge ends a paragraph (so a cell's, an item's or
// a heading's text is one), and each is a run of its own that never grows,
// so the runs read before need no second look.
void ParagraphIndex::Update(const Flow& flow) {
    for (; m_runsRead < flow.RunCount(); ++m_runsRead) {
        const Run& run = flow.RunAt(m_runsRead);
        if (run.kind != RunKind::Break && !IsBoundary(run.kind)) continue;
        if (run.start > m_openStart) m_closed.push_back(TextRange{m_openStart, run.start});
        m_openStart = run.start + 1;
    }
    m_end = flow.End();
}

ParagraphSpan ParagraphIndex::Intersecting(TextRange range) const {
    // Paragraphs are sorted and do not overlap, so both ends are found by
    // bisection over the indices (the open paragraph included).
    const auto firstWhere = [this](auto condition) {
        std::size_t low = 0;
        std::size_t high = Count();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (condition(At(middle))) high = middle;
            else low = middle + 1;
        }
        return low;
    };
    const std::size_t first = firstWhere([&](const TextRange& paragraph) { return paragraph.end > range.start; });
    const std::size_t last = firstWhere([&](const TextRange& paragraph) { return paragraph.start >= range.end; });
    return ParagraphSpan{first, std::max(first, last)};
}

}  // namespace html
