// ContentWidths: how wide a stretch of the flow wants to be — what automatic
// table layout asks of every cell before the columns get their widths —
// and the shape and the column widths of a table.
//
// The minimum is the widest thing that cannot be broken (a word, an image,
// a nested table's minimum), the maximum the longest line when nothing is
// broken but at line breaks and block edges; blocks inside add their
// margins, borders and padding to both. Text is measured a slice at a time,
// so a long word costs linear time.
#pragma once

#include "framework/html/Layout.h"
#include "framework/html/TableGrid.h"

#include <string>
#include <vector>

namespace html {

struct TableCell {
    std::uint32_t block = kNoBlock;
    int row = 0;
    int column = 0;
    int colspan = 1;
    int rowspan = 1;
};

// A table's rows and cells as the grid places them: the blocks after the
// table, up to its end, that are its rows and its rows' cells.
struct TableShape {
    TableGrid grid;
    std::vector<TableCell> cells;
    std::vector<std::uint32_t> captions;  // its other blocks, laid out across it
};
TableShape ShapeOfTable(const Flow& flow, std::uint32_t table);

// A width attribute in device pixels at `scale` (a percentage as it is).
WidthSpec ScaledWidth(WidthSpec width, const CssScale& scale);

class ContentWidths {
public:
    ContentWidths(Layout& layout, const Flow& flow, const StyleTable& styles);

    // The widths of the content [from, to), in device pixels. Tables nested
    // deeper than `tableDepth` count as plain blocks.
    IntrinsicWidths Measure(TextPosition from, TextPosition to, std::size_t tableDepth);
    // The columns of table `table`, of shape `shape`, in `available` pixels;
    // never narrower than its captions' widest word.
    ColumnLayout SizeTable(std::uint32_t table, const TableShape& shape, int available, std::size_t tableDepth);

private:
    std::vector<CellWidthInput> CellInputs(const TableShape& shape, std::size_t tableDepth);
    TableFrame Frame(const BlockBox& table) const;
    IntrinsicWidths MeasureTable(std::uint32_t table, std::size_t tableDepth);
    void MeasureText(std::size_t runIndex, TextPosition from, TextPosition to);
    void EndWord();
    void EndLine();
    int Horizontal(const BlockBox& block) const;

    Layout& m_layout;
    const Flow& m_flow;
    const StyleTable& m_styles;
    TextMeasurer& m_measurer;
    IntrinsicWidths m_widths;
    int m_indent = 0;
    int m_line = 0;
    int m_word = 0;
    int m_trailingSpace = 0;
    std::u16string m_scratch;
};

}  // namespace html
