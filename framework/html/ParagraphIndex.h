// ParagraphIndex: the flow read as paragraphs, for assistive technology. A
// paragraph is the text between two line breaks, as copying separates it;
// an empty one (two breaks in a row, the end after a final break) is left
// out, since a reader would only announce a blank.
//
// The index is made when a reader first asks and afterwards only reads the
// runs added since, so a conversation that nobody reads this way costs
// nothing, and one that is read costs eight bytes per paragraph.
#pragma once

#include "framework/html/Flow.h"
#include "framework/html/TextRange.h"

#include <cstddef>
#include <vector>

namespace html {

class ParagraphIndex {
public:
    // Forgets everything (a new flow).
    void Clear() { *this = ParagraphIndex{}; }
    // Reads the runs `flow` gained since the last call.
    void Update(const Flow& flow);

    // Valid after Update; the last paragraph may still grow with the flow.
    std::size_t Count() const { return m_closed.size() + (HasOpenParagraph() ? 1 : 0); }
    TextRange At(std::size_t index) const {
        return index < m_closed.size() ? m_closed[index] : TextRange{m_openStart, m_end};
    }
    // The paragraphs that share a character with `range`.
    ParagraphSpan Intersecting(TextRange range) const;

private:
    bool HasOpenParagraph() const { return m_end > m_openStart; }

    std::vector<TextRange> m_closed;
    TextPosition m_openStart = 0;
    TextPosition m_end = 0;
    std::size_t m_runsRead = 0;
};

}  // namespace html
