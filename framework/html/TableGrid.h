// TableGrid, LayOutColumns, DistributeRowHeights: the arithmetic of a table,
// with no boxes and no window: where each cell goes, how wide each column is,
// how tall each row is. Every length is an int in device pixels.
//
// Placement keeps, per column, the first row that no cell above covers, in a
// tree that also finds the next free column in logarithmic time, so hostile
// spans (a thousand columns a cell, 65534 rows a cell, a hundred thousand
// cells a row) cost about linear time; a slot matrix would cost rows times
// columns. Widths and heights add up in 64 bits and saturate when returned,
// so widths of a billion pixels neither overflow nor turn negative.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace html {

// A cell's min-content and max-content widths (narrowest without overflow,
// widest without wrapping), padding and borders included.
struct IntrinsicWidths {
    int minimum = 0;
    int maximum = 0;
};

// A width attribute's value. Pixels are CSS pixels when parsed (the caller
// scales them) and device pixels where LayOutColumns reads them.
struct WidthSpec {
    enum class Unit : std::uint8_t { Auto, Pixels, Percent };
    Unit unit = Unit::Auto;
    int value = 0;

    friend bool operator==(const WidthSpec&, const WidthSpec&) = default;
};

// The largest width attribute honoured: a hundred thousand CSS pixels, wider
// than any screen at any zoom, small enough that scaling it stays in an int.
inline constexpr int kMaxWidthAttributePixels = 100000;

// A width attribute ("120", "50%", " 40 px") by the HTML standard's rules for
// non-zero dimension values: leading white space, digits, an optional
// fraction, then "%" for a percentage; what follows is ignored. Fractions
// round to the nearest whole (a non-zero value never to 0). Auto when the
// value has no leading digit or is zero. Percentages are capped at 100,
// pixels at kMaxWidthAttributePixels.
WidthSpec ParseWidthAttribute(std::u16string_view value);

// The HTML table model's slot filling, for a table whose rows form one group:
// each cell takes the first column of its row that no row span from above
// covers. The grid never grows past kMaxColumns columns: a cell's column
// span is cut at the last one, and a cell that finds no free column before
// it shares the last column (overlapping, as the standard lets cells do).
class TableGrid {
public:
    static constexpr int kMaxColspan = 1000;  // the HTML standard's caps
    static constexpr int kMaxRowspan = 65534;
    static constexpr int kMaxColumns = 100000;

    // Starts the next row. A cell added before the first row starts one.
    void StartRow();

    // Places a cell of the current row and returns its column. `colspan` is
    // clamped to [1, kMaxColspan]; `rowspan` to [1, kMaxRowspan], except that
    // 0 spans to the end of the table.
    int AddCell(int colspan, int rowspan);

    int ColumnCount() const { return m_columnCount; }
    int RowCount() const { return m_rowCount; }

    // Once every row is in: how many rows a cell starting at `firstRow` with
    // `rowspan` (as given to AddCell) really spans, cut at the last row.
    int ClippedRowspan(int firstRow, int rowspan) const;

private:
    // The tree over the columns, a heap of m_leaves leaves: m_coveredUntil is
    // the end row of the spans recorded at a node for all of its columns;
    // m_freeFrom the earliest row from which some column below the node is
    // free as far as the node and its descendants know (the spans recorded
    // above it may cover more).
    void Grow(int columns);
    void Cover(int node, int low, int high, int first, int last, int endRow);
    int FirstFreeColumn(int node, int low, int high, int from, int coveredAbove) const;

    int m_columnCount = 0;
    int m_rowCount = 0;
    int m_currentColumn = 0;  // where the search for a free column starts in this row
    int m_leaves = 0;         // columns the tree has room for, a power of two
    std::vector<int> m_coveredUntil;
    std::vector<int> m_freeFrom;
};

// A table cell's part in the column widths. `width` is in device pixels when
// it is Pixels; a cell's percentage counts only when it spans one column.
struct CellWidthInput {
    int column = 0;
    int colspan = 1;
    IntrinsicWidths intrinsic;
    WidthSpec width;
};

struct ColumnLayout {
    std::vector<int> columnWidths;
    int tableWidth = 0;  // the table's border box
};

// What surrounds the columns horizontally.
struct TableFrame {
    int spacing = 0;  // horizontal cell spacing: before, between and after the columns
    int edges = 0;    // the table's left and right borders and padding together
};

// Automatic table layout as browsers do it:
// - Each column's min and max come from its one-column cells. A cell's
//   Pixels width raises the column's min to it and fixes its max at
//   max(width, min) (the widest such cell wins); a Percent width makes the
//   column a percentage column (the largest percentage wins, over pixels
//   too, and the percentages of a table add up to at most 100).
// - Cells spanning columns, narrowest spans first, then give what their min
//   and max exceed the spanned columns' sums (and the spacing between them)
//   to those columns, in proportion to the columns' max (evenly when all are
//   0).
// - The table's width: a Pixels `tableWidth` (device pixels) or a Percent one
//   (of `available`) if at least the columns' minimum total; Auto: the max
//   total, no wider than `available` and no narrower than the minimum total.
//   The totals include `frame`; the max total is widened so that percentage
//   columns can have their share of it.
// - Columns start at their min; percentage columns then get their share of
//   the width inside the frame, pixel columns their width, auto columns the
//   rest up to their max (all the same fraction of the way from min to max),
//   each step only as far as the width allows. Width left over goes to the
//   auto columns in proportion to their max, or to all columns when none is
//   auto; it is left only when the table's width was given, or percentages
//   widened an Auto table.
// Every column is at least its min, and the columns and frame add up to the
// table's width (unless the minimum total exceeds an int).
ColumnLayout LayOutColumns(int columnCount, const std::vector<CellWidthInput>& cells, WidthSpec tableWidth,
                           int available, const TableFrame& frame);

// A cell spanning rows, for DistributeRowHeights; `rowspan` as TableGrid
// takes it.
struct RowSpanInput {
    int firstRow = 0;
    int rowspan = 1;
    int height = 0;
};

// The final row heights, from `rowHeights` (each row's tallest cell that
// spans only it): each spanning cell, shortest spans first, adds what it
// still needs to the rows it spans (clipped to the rows there are), in
// proportion to their heights, or all to the last one when they are all 0.
// `spacing` is the vertical cell spacing, which a cell spanning rows also
// covers between them.
std::vector<int> DistributeRowHeights(std::vector<int> rowHeights, const std::vector<RowSpanInput>& spanning,
                                      int spacing);

}  // namespace html
