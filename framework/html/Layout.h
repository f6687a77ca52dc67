// Layout: the flow cut into line boxes, fragments and decorations. Geometry
// only — what a fragment shows is looked up in the flow when it is painted.
//
// Blocks (BlockFlow) give each line the box it is laid out in and stack the
// lines with their margins; tables place cells side by side. Line boxes are
// stored in flow order, each with its first position, its top, height and
// baseline and its box; a line's fragments are contiguous pieces of one run
// each, with their x and width. Decorations are what blocks draw behind the
// text: backgrounds, borders, rules and list markers. Lines and decorations
// live in chunked arrays in flow order. Inside a table the order of flow is
// not the order of y, so each item also keeps a band: the top of the
// outermost table row that holds it (its own top outside tables) and its
// reach, the lowest bottom of it and everything before it. Both only grow
// along the arrays, so what meets a band of y is found by binary search.
//
// Layout is incremental. New content at the end of the flow is laid out from
// the start of the last line box, unless that line ended in a break or a
// block's end (then from a new line); an image that changes size lays out
// again from its own line, or from the start of the outermost block holding
// it; a new content width, scale or measurer lays out everything. All of
// it is deferred to Update, so many appends between two queries cost one
// pass. Everything here is in device pixels.
#pragma once

#include "framework/html/Blocks.h"
#include "framework/html/ChunkedVector.h"
#include "framework/html/Drawing.h"
#include "framework/html/Flow.h"
#include "framework/html/StyleTable.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace html {

// Where an item stands in the order of y (see above).
struct Band {
    std::int32_t top = 0;
    std::int32_t reach = 0;
};

struct LineBox {
    TextPosition start;
    std::uint32_t firstFragment;
    std::int32_t top;
    std::uint16_t height;
    std::uint16_t ascent;  // baseline, from the top
    std::int32_t left;     // the box the line was laid out in
    std::int32_t right;
    Band band;

    int Bottom() const { return top + height; }
};

// Something a block draws behind the text: a box (a fill, a frame, or both)
// or a list item's marker, drawn in the marker style's font and colour.
struct Decoration {
    enum class Kind : std::uint8_t { Box, Marker };

    Kind kind = Kind::Box;
    ListMarker marker = ListMarker::None;
    BorderStyle borderStyle = BorderStyle::None;
    StyleId style = 0;
    std::int32_t ordinal = 0;
    std::int32_t border = 0;  // a box's frame width; a marker's baseline
    Color fill = kTransparent;
    Color borderColor = 0;
    Rect rect;
    Band band;
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
    // Content from `position` on is laid out again (from its line's start,
    // or from the outermost block holding it).
    void InvalidateFrom(TextPosition position);
    // Brings the lines up to date with the flow.
    void Update(const Flow& flow, const StyleTable& styles);

    int ContentLeft() const { return m_margins.left; }
    int ContentWidth() const { return m_contentWidth; }
    // The bottom of everything laid out, the margin below the last block
    // included; the top margin when there is nothing.
    int ContentBottom() const;

    std::size_t LineCount() const { return m_lines.Size(); }
    const LineBox& Line(std::size_t index) const { return m_lines[index]; }
    const Fragment& FragmentAt(std::size_t index) const { return m_fragments[index]; }
    // One past the last fragment of line `index`.
    std::size_t FragmentsEnd(std::size_t index) const;
    // The first line whose band reaches below y (LineCount() if none): no
    // line before it reaches y, and from it on, lines whose band top is
    // above y may hold it.
    std::size_t FirstLineEndingBelow(int y) const;
    // The line holding `position` (0 when there are no lines).
    std::size_t LineHolding(TextPosition position) const;

    std::size_t DecorationCount() const { return m_decorations.Size(); }
    const Decoration& DecorationAt(std::size_t index) const { return m_decorations[index]; }
    // The first decoration whose band reaches below y, as for lines.
    std::size_t FirstDecorationEndingBelow(int y) const;

private:
    // Where layout can start again: the start of a line outside every block,
    // or of a block outside every other, with what was laid out before it.
    struct ResumePoint {
        TextPosition position = 0;
        TextPosition end = 0;  // of the block that starts here
        std::uint32_t line = 0;
        std::uint32_t fragment = 0;
        std::uint32_t decoration = 0;
        std::int32_t top = 0;
        std::int32_t pendingMargin = 0;
    };

    static constexpr TextPosition kNothingDirty = std::numeric_limits<TextPosition>::max();

    void InvalidateAll();
    // Where to lay out again for the content from `position` on.
    ResumePoint ResumeAt(TextPosition position) const;
    // Where new content at the end continues: on the last line, or below
    // everything when the content laid out so far ended in a break or a
    // block's end.
    ResumePoint ResumeForAppend(const Flow& flow) const;
    void Truncate(const ResumePoint& point);

    TextMeasurer* m_measurer = nullptr;
    CssScale m_scale;
    BodyMargins m_margins;
    int m_viewportWidth = 0;
    int m_contentWidth = 0;
    ChunkedVector<LineBox, 12> m_lines;
    ChunkedVector<Fragment, 12> m_fragments;
    ChunkedVector<Decoration, 10> m_decorations;
    ChunkedVector<ResumePoint, 10> m_blockStarts;  // of the blocks outside every other
    TextPosition m_laidOutTo = 0;
    TextPosition m_dirtyFrom = kNothingDirty;
    int m_bottom = 0;         // below everything laid out
    int m_pendingMargin = 0;  // below that, the last block's margin
    FontCache m_fonts;

    friend class LineBreaker;
    friend class BlockFlow;
    friend class ContentWidths;
};

}  // namespace html
