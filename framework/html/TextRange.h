// TextPosition, TextRange, ParagraphSpan: the places in a document's text
// that every stage speaks of, from the flow to the accessible objects. The
// bottom of the engine: it includes nothing of the engine.
#pragma once

#include <cstddef>
#include <cstdint>

namespace html {

// A place in the document's text: an offset into the flow, in which every
// UTF-16 unit, every line break (from br, p, div) and every image or embed
// counts as one unit. Positions stay valid while the document only grows;
// Load starts a new flow.
using TextPosition = std::uint32_t;

// A stretch of the document's text, [start, end).
struct TextRange {
    TextPosition start = 0;
    TextPosition end = 0;
    bool IsEmpty() const { return end <= start; }
    // Whether the two share a character.
    bool Intersects(TextRange other) const { return start < other.end && other.start < end; }
};

// Paragraphs [first, last), by index.
struct ParagraphSpan {
    std::size_t first = 0;
    std::size_t last = 0;
    bool IsEmpty() const { return last <= first; }
};

}  // namespace html
