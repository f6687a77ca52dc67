// Layout: the flow cut into line boxes and fragments. Geometry only — what
// a fragment shows is looked up in the flow when it is painted.
//
// The body is one inline formatting context. Line boxes are stored in flow
// order, each with its first position, its top and height and its baseline;
// a line's fragments are contiguous pieces of one run each, with their x and
// width. Both live in chunked arrays, sorted by position and by y, so a line
// is found by binary search on either.
//
// Layout is incremental. New content at the end of the flow is laid out from
// the start of the last line box, unless that line ended in a break (then
// from a new line); an image that changes size lays out again from its own
// line; a new content width, scale or measurer lays out everything. All of
// it is deferred to Update, so many appends between two queries cost one
// pass. Everything here is in device pixels.
#pragma once

#include "framework/html/ChunkedVector.h"
#include "framework/html/Drawing.h"
#include "framework/html/Flow.h"
#include "framework/html/StyleTable.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace html {

struct LineBox {
    TextPosition start;
    std::uint32_t firstFragment;
    std::int32_t top;
    std::uint16_t height;
    std::uint16_t ascent;  // baseline, from the top

    int Bottom() const { return top + height; }
};

struct Fragment {
    TextPosition start;
    std::uint32_t length;
    std::uint32_t run;
    std::int32_t x;
    std::int32_t width;

    int Right() const { return x + width; }
};

// The body's margins (the margin attributes of the body element): CSS
// pixels as the document reads them, device pixels as layout takes them.
struct BodyMargins {
    int top = 8;
    int right = 8;
    int bottom = 8;
    int left = 8;
    friend bool operator==(const BodyMargins&, const BodyMargins&) = default;
};

// Metrics and space widths per font, asked once of the measurer.
class FontCache {
public:
    void Clear();
    const FontMetrics& Metrics(const StyleTable& styles, StyleId style, TextMeasurer& measurer);
    int SpaceWidth(const StyleTable& styles, StyleId style, TextMeasurer& measurer);

private:
    struct Entry {
        FontMetrics metrics;
        int spaceWidth = 0;
        bool measured = false;
    };
    Entry& Measured(const StyleTable& styles, StyleId style, TextMeasurer& measurer);

    std::vector<Entry> m_entries;  // by font index
};

class Layout {
public:
    // Documents taller than this stop growing in y; only absurd input (a
    // million tall images) gets there, and int arithmetic stays safe.
    static constexpr int kMaxTop = std::numeric_limits<int>::max() / 2;

    // The viewport width and the body's margins; the content box is what is
    // left between the margins (possibly nothing: then each line holds one
    // character). Any change lays out everything again.
    void SetFrame(int viewportWidth, const BodyMargins& margins);
    // The measurer that layout asks from now on; a different one lays out
    // everything again. Until one is set, nothing is laid out.
    void SetMeasurer(TextMeasurer& measurer);
    TextMeasurer* Measurer() const { return m_measurer; }
    // Device pixels per CSS pixel for objects; the caller gives the style
    // table the same scale. A different one lays out everything again.
    void SetScale(const CssScale& scale);
    const CssScale& Scale() const { return m_scale; }
    // Forgets every line (a new flow).
    void Clear();
    // Lines from the one holding `position` on are laid out again.
    void InvalidateFrom(TextPosition position);
    // Brings the lines up to date with the flow.
    void Update(const Flow& flow, const StyleTable& styles);

    int ContentLeft() const { return m_margins.left; }
    int ContentWidth() const { return m_contentWidth; }
    // The bottom of the last line, or the top margin when there is none.
    int ContentBottom() const;

    std::size_t LineCount() const { return m_lines.Size(); }
    const LineBox& Line(std::size_t index) const { return m_lines[index]; }
    const Fragment& FragmentAt(std::size_t index) const { return m_fragments[index]; }
    // One past the last fragment of line `index`.
    std::size_t FragmentsEnd(std::size_t index) const;
    // The first line whose bottom is below y (LineCount() if none).
    std::size_t FirstLineEndingBelow(int y) const;
    // The line holding `position` (0 when there are no lines).
    std::size_t LineHolding(TextPosition position) const;

private:
    static constexpr std::size_t kNothingDirty = std::numeric_limits<std::size_t>::max();

    void InvalidateAll();
    // The line that new content continues: the last one, or a new one when
    // the content laid out so far ended in a break.
    std::size_t OpenLine(const Flow& flow) const;

    TextMeasurer* m_measurer = nullptr;
    CssScale m_scale;
    BodyMargins m_margins;
    int m_viewportWidth = 0;
    int m_contentWidth = 0;
    ChunkedVector<LineBox, 12> m_lines;
    ChunkedVector<Fragment, 12> m_fragments;
    TextPosition m_laidOutTo = 0;
    std::size_t m_dirtyLine = kNothingDirty;
    FontCache m_fonts;

    friend class LineBreaker;
};

}  // namespace html
