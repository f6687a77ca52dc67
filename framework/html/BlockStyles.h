// BlockStyles: which elements lay out as blocks, and how a browser's default
// style sheet makes them look — in quirks mode, as the pane's template has no
// DOCTYPE: margins in ems of the element's own font, headings' sizes, lists'
// indentation and markers, quotations' indents, rules, and tables whose text
// starts again from the body's look (the quirk every browser keeps).
//
// Presentational attributes are read here too (align, width, bgcolor,
// border, cellpadding, cellspacing, colspan, rowspan, valign, type, start,
// value, size, noshade, color), within the caps browsers apply.
#pragma once

#include "framework/html/Blocks.h"
#include "framework/html/HtmlNode.h"
#include "framework/html/StyleTable.h"

#include <optional>

namespace html {

// What the element's block continues from.
struct BlockContext {
    const BlockBox* table = nullptr;           // the nearest table, whose cells take its padding and border
    const BlockBox* row = nullptr;             // the row a cell is in: its colour and alignment
    int listDepth = 0;                         // lists around the element
    ListMarker itemMarker = ListMarker::Disc;  // of the items of the nearest list
    std::int32_t nextOrdinal = 1;              // the number its next item takes
    InlineStyle body;                          // what a table's text starts again from
};

// The block `element` makes, nullopt when it is no block. `text` is the look
// of the element's text, on entry the enclosing one: headings, preformatted
// text, table headers and tables change it.
std::optional<BlockBox> DefaultBlock(const Node& element, InlineStyle& text, const BlockContext& context);

// Whether `element` is a list (ul, ol, menu, dir), and the marker its items
// take: its type attribute, else the default for its depth (0 outermost).
bool IsList(const Node& element);
ListMarker ItemMarker(const Node& list, int depth);
// An ol's first number: its start attribute, else 1.
std::int32_t FirstOrdinal(const Node& list);

// Whether text inside `element` keeps its white space and line ends.
bool IsPreformatted(const Node& element);

// The font families of monospaced text (pre, tt, code and the like).
inline constexpr std::u16string_view kMonospaceFamilies = u"Courier New,GulimChe";

}  // namespace html
