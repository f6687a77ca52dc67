// A table's arithmetic: slot filling, column widths, row heights.
#include <gtest/gtest.h>

#include "framework/html/TableGrid.h"

#include <climits>
#include <cstdint>
#include <numeric>

namespace {

using html::CellWidthInput;
using html::ColumnLayout;
using html::LayOutColumns;
using html::TableGrid;
using html::WidthSpec;
using Unit = WidthSpec::Unit;

constexpr WidthSpec kAuto{};
constexpr WidthSpec Pixels(int value) { return {Unit::Pixels, value}; }
constexpr WidthSpec Percent(int value) { return {Unit::Percent, value}; }

CellWidthInput Cell(int column, int minimum, int maximum, WidthSpec width = kAuto, int colspan = 1) {
    return {column, colspan, {minimum, maximum}, width};
}

// The columns and frame add up to the table, and no column is below `minimums`.
void ExpectConsistent(const ColumnLayout& layout, const std::vector<int>& minimums, int frame) {
    ASSERT_EQ(layout.columnWidths.size(), minimums.size());
    EXPECT_EQ(std::accumulate(layout.columnWidths.begin(), layout.columnWidths.end(), 0LL) + frame, layout.tableWidth);
    for (std::size_t i = 0; i < minimums.size(); ++i) EXPECT_GE(layout.columnWidths[i], minimums[i]) << i;
}

TEST(TableGrid, ParsesWidthAttributesAsDimensions) {
    EXPECT_EQ(html::ParseWidthAttribute(u"120"), Pixels(120));
    EXPECT_EQ(html::ParseWidthAttribute(u" \t40 px"), Pixels(40));
    EXPECT_EQ(html::ParseWidthAttribute(u"50%"), Percent(50));
    EXPECT_EQ(html::ParseWidthAttribute(u"50 %"), Pixels(50));
    EXPECT_EQ(html::ParseWidthAttribute(u"33.5%"), Percent(34));
    EXPECT_EQ(html::ParseWidthAttribute(u"0.2"), Pixels(1));
    EXPECT_EQ(html::ParseWidthAttribute(u"250%"), Percent(100));
    EXPECT_EQ(html::ParseWidthAttribute(u"99999999999999999999"), Pixels(html::kMaxWidthAttributePixels));
    for (const std::u16string_view none : {u"", u"0", u"0.0%", u"-5", u"+5", u"px", u".5"})
        EXPECT_EQ(html::ParseWidthAttribute(none), kAuto) << std::string(none.begin(), none.end());
}

TEST(TableGrid, PlacesCellsAroundRowSpansFromAbove) {
    TableGrid grid;
    grid.StartRow();
    EXPECT_EQ(grid.AddCell(2, 2), 0);
    EXPECT_EQ(grid.AddCell(1, 1), 2);
    EXPECT_EQ(grid.AddCell(0, 0), 3);  // colspan 0 is 1; rowspan 0 runs to the end
    grid.StartRow();
    EXPECT_EQ(grid.AddCell(1, 3), 2);  // past the first cell; spans past the last row
    EXPECT_EQ(grid.AddCell(1, -4), 4);
    grid.StartRow();
    EXPECT_EQ(grid.AddCell(1, 1), 0);  // the first cell has ended
    EXPECT_EQ(grid.AddCell(1, 1), 1);
    EXPECT_EQ(grid.AddCell(1, 1), 4);
    EXPECT_EQ(grid.ColumnCount(), 5);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.ClippedRowspan(0, 0), 3);
    EXPECT_EQ(grid.ClippedRowspan(1, 3), 2);
    EXPECT_EQ(grid.ClippedRowspan(0, 2), 2);
    EXPECT_EQ(grid.ClippedRowspan(3, 1), 0);
}

TEST(TableGrid, StaysBoundedOnHugeSpans) {
    TableGrid wide;
    for (int cell = 0; cell < 100000; ++cell) wide.AddCell(1000000000, 1000000000);
    EXPECT_EQ(wide.ColumnCount(), TableGrid::kMaxColumns);
    EXPECT_EQ(wide.AddCell(1, 1), TableGrid::kMaxColumns - 1);

    // Every row after the first finds its first free column past all of them.
    TableGrid tall;
    tall.StartRow();
    for (int column = 0; column < 10000; ++column) tall.AddCell(1, TableGrid::kMaxRowspan);
    for (int row = 1; row < 20000; ++row) {
        tall.StartRow();
        ASSERT_EQ(tall.AddCell(1, row % 2 == 0 ? 0 : 1), 10000 + (row - 1) / 2) << row;
    }
    EXPECT_EQ(tall.ColumnCount(), 20000);
}

TEST(TableGrid, GivesColumnsTheirMaxUpToTheAvailableWidthThenInterpolates) {
    const std::vector cells{Cell(0, 10, 100), Cell(1, 20, 50)};
    const html::TableFrame frame{2, 2};  // 3 spacings and the edges: 8
    EXPECT_EQ(LayOutColumns(2, cells, kAuto, 1000, frame).columnWidths, (std::vector{100, 50}));
    EXPECT_EQ(LayOutColumns(2, cells, kAuto, 1000, frame).tableWidth, 158);
    // 12 above the minimums, out of 120 wanted: a tenth of the way each.
    EXPECT_EQ(LayOutColumns(2, cells, kAuto, 50, frame).columnWidths, (std::vector{19, 23}));
    // Narrower than the minimums: they win.
    const ColumnLayout narrow = LayOutColumns(2, cells, kAuto, 10, frame);
    EXPECT_EQ(narrow.columnWidths, (std::vector{10, 20}));
    EXPECT_EQ(narrow.tableWidth, 38);
    for (int available = 0; available < 400; available += 7) {
        ExpectConsistent(LayOutColumns(2, cells, kAuto, available, frame), {10, 20}, 8);
        ExpectConsistent(LayOutColumns(2, cells, Percent(90), available, frame), {10, 20}, 8);
    }
}

TEST(TableGrid, HonoursPercentAndPixelColumnsAndTableWidths) {
    const std::vector cells{Cell(0, 10, 20, Percent(50)), Cell(1, 30, 40, Pixels(100)), Cell(2, 0, 200),
                            Cell(1, 5, 300)};
    EXPECT_EQ(LayOutColumns(3, cells, Pixels(600), 300, {}).columnWidths, (std::vector{300, 100, 200}));
    // Width beyond every max goes to the auto column.
    EXPECT_EQ(LayOutColumns(3, cells, Pixels(800), 300, {}).columnWidths, (std::vector{400, 100, 300}));
    EXPECT_EQ(LayOutColumns(3, cells, Percent(50), 1600, {}).columnWidths, (std::vector{400, 100, 300}));
    // The percentage comes first, the pixel width next, the auto column gets what is left.
    EXPECT_EQ(LayOutColumns(3, cells, Pixels(200), 300, {}).columnWidths, (std::vector{100, 100, 0}));
    // An auto table is widened so the percentage column has its share of it...
    EXPECT_EQ(LayOutColumns(2, {Cell(0, 10, 10, Percent(20)), Cell(1, 10, 30)}, kAuto, 1000, {}).columnWidths,
              (std::vector{10, 40}));
    // ...a 100% column as wide as it may be (the second 100% counts for nothing)...
    EXPECT_EQ(
        LayOutColumns(2, {Cell(0, 0, 10, Percent(100)), Cell(1, 0, 30, Percent(100))}, kAuto, 90, {}).columnWidths,
        (std::vector{90, 0}));
    // ...but never past its max total otherwise.
    EXPECT_EQ(LayOutColumns(2, {Cell(0, 10, 10), Cell(1, 10, 30)}, kAuto, 1000, {}).tableWidth, 40);
}

TEST(TableGrid, SpreadsSpanningCellsOverTheirColumnsByMax) {
    const std::vector cells{Cell(0, 10, 10), Cell(1, 10, 30), Cell(0, 60, 100, kAuto, 2)};
    // The span's min exceeds 24 (with one spacing) by 36, its max 44 by 56.
    const ColumnLayout layout = LayOutColumns(2, cells, kAuto, 1000, {4, 0});
    EXPECT_EQ(layout.columnWidths, (std::vector{24, 72}));
    EXPECT_EQ(layout.tableWidth, 108);
    ExpectConsistent(LayOutColumns(2, cells, kAuto, 60, {4, 0}), {19, 37}, 12);
    // Narrower spans first: the two-column cell shares evenly between empty
    // columns, and the three-column one then goes where it put width.
    const std::vector nested{Cell(0, 0, 90, kAuto, 3), Cell(1, 0, 40, kAuto, 2)};
    EXPECT_EQ(LayOutColumns(3, nested, kAuto, 1000, {}).columnWidths, (std::vector{0, 45, 45}));
    // A span past the last column ends there.
    EXPECT_EQ(
        LayOutColumns(4, {Cell(0, 0, 40, kAuto, 2), Cell(1, 0, 80, kAuto, 1000000000)}, kAuto, 1000, {}).columnWidths,
        (std::vector{20, 80, 0, 0}));
}

TEST(TableGrid, NeitherOverflowsNorGoesNegativeOnHugeWidths) {
    std::vector<CellWidthInput> cells;
    for (int column = 0; column < 10000; ++column) cells.push_back(Cell(column, 1000000000, 1000000000));
    const ColumnLayout huge = LayOutColumns(10000, cells, Pixels(1000000000), 1000000000, {1000000000, 1000000000});
    EXPECT_EQ(huge.tableWidth, INT_MAX);
    EXPECT_EQ(huge.columnWidths.front(), 1000000000);
    EXPECT_EQ(huge.columnWidths.back(), 1000000000);
    const std::vector small{Cell(0, 1, 1), Cell(1, 2, 2, Percent(1))};
    ExpectConsistent(LayOutColumns(2, small, Pixels(1000000000), 0, {1000, 1000}), {1, 2}, 4000);
    ExpectConsistent(LayOutColumns(2, small, Percent(100), INT_MAX, {}), {1, 2}, 0);
}

TEST(TableGrid, GivesSpanningCellsTheHeightTheyLackByRowHeight) {
    // Rows 1 and 2 have 0 and 30 and the spacing 2; the cell needs 28 more, all of it in row 2.
    EXPECT_EQ(html::DistributeRowHeights({10, 0, 30}, {{1, 2, 60}}, 2), (std::vector{10, 0, 58}));
    EXPECT_EQ(html::DistributeRowHeights({10, 30}, {{0, 0, 80}}, 0), (std::vector{20, 60}));
    EXPECT_EQ(html::DistributeRowHeights({0, 0, 0}, {{0, 9, 20}, {5, 1, 99}}, 0), (std::vector{0, 0, 20}));
    // The shorter span first: it gives row 0 height, so the longer one grows row 0 too.
    EXPECT_EQ(html::DistributeRowHeights({0, 0}, {{0, 2, 40}, {0, 1, 10}}, 0), (std::vector{40, 0}));
    const std::vector<int> tallest = html::DistributeRowHeights({10, 10}, {{0, 2, INT_MAX}, {0, 2, INT_MAX}}, 0);
    EXPECT_EQ(std::int64_t{tallest[0]} + tallest[1], INT_MAX);
    // Cells spanning to the end from every row of a long table.
    std::vector<html::RowSpanInput> toTheEnd;
    for (int row = 0; row < 100000; ++row) toTheEnd.push_back({row, 0, 20});
    EXPECT_EQ(html::DistributeRowHeights(std::vector(100000, 0), toTheEnd, 1).back(), 20);
}

}  // namespace
