// BlockBox: what the flow keeps of an element that lays out as a block —
// a paragraph, a heading, a list and its items, a quotation, a rule, a
// table with its rows and cells.
//
// The flow stays one text buffer: a block's start and its end are each a
// boundary character of their own (stored as a line break, so paragraphs and
// copying see the block's edges), whose run names the block. What the block
// looks like — margins, padding, border, background, alignment, its list
// marker, a table's spacing and a cell's spans — is resolved when the block
// enters the flow, from the element and the look of its text, and kept here
// in CSS pixels; layout scales them.
#pragma once

#include "framework/html/Drawing.h"
#include "framework/html/StyleTable.h"
#include "framework/html/TableGrid.h"
#include "framework/html/TextRange.h"

#include <cstdint>
#include <limits>
#include <string>

namespace html {

inline constexpr std::uint32_t kNoBlock = std::numeric_limits<std::uint32_t>::max();

enum class BlockKind : std::uint8_t { Block, ListItem, Rule, Table, Row, Cell };

// Inherit: the enclosing block's alignment, in the end the body's (left).
enum class TextAlign : std::uint8_t { Inherit, Left, Center, Right };

enum class VerticalAlign : std::uint8_t { Middle, Top, Bottom };

enum class ListMarker : std::uint8_t {
    None,
    Disc,
    Circle,
    Square,
    Decimal,
    LowerAlpha,
    UpperAlpha,
    LowerRoman,
    UpperRoman
};

inline bool IsShapeMarker(ListMarker marker) {
    return marker == ListMarker::Disc || marker == ListMarker::Circle || marker == ListMarker::Square;
}

// The edges of a box, in CSS pixels.
struct BoxEdges {
    float top = 0;
    float right = 0;
    float bottom = 0;
    float left = 0;
};

// How a border is drawn: one colour, or the two shades of a sunken (inset)
// or raised (outset) frame, as tables and their cells have them.
enum class BorderStyle : std::uint8_t { None, Solid, Inset, Outset };

struct BlockBox {
    TextPosition start = 0;  // the opening boundary
    TextPosition end = 0;    // the closing boundary, once the block is closed
    std::uint32_t parent = kNoBlock;
    BlockKind kind = BlockKind::Block;
    TextAlign align = TextAlign::Inherit;      // of the lines inside
    TextAlign placement = TextAlign::Inherit;  // of a table or a rule in its container
    VerticalAlign verticalAlign = VerticalAlign::Middle;
    ListMarker marker = ListMarker::None;
    BorderStyle borderStyle = BorderStyle::None;
    bool hasBackground = false;
    // Margins in ems from the default style sheet, which quirks mode drops
    // at the top and the bottom of a table cell.
    bool quirkyMargins = false;
    bool noWrap = false;  // a cell's nowrap: its lines end only at breaks
    StyleId markerStyle = 0;
    std::int32_t ordinal = 0;  // a list item's number
    std::int32_t colspan = 1;
    std::int32_t rowspan = 1;
    Color background = 0;
    Color borderColor = 0;
    float border = 0;   // its width
    float spacing = 0;  // a table's cell spacing
    float height = 0;   // a rule's thickness; the least height of a row or a cell
    BoxEdges margin;
    BoxEdges padding;
    WidthSpec width;
};

// `number` in decimal digits, with a minus sign when it is negative.
std::u16string DecimalText(std::int64_t number);

// The marker of item `ordinal` in the list style `marker`, as it stands left
// of the item ("3.", "iv.", "c."): empty for the shapes, which are drawn.
// Roman numerals go up to 3,999 and fall back to decimal past it, as CSS's
// do.
std::u16string ListMarkerText(ListMarker marker, std::int32_t ordinal);

}  // namespace html
