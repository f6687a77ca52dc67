#include "framework/html/TableGrid.h"

#include "framework/html/TextUnits.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <numeric>
#include <span>

namespace html {

namespace {

using Length = std::int64_t;

int Saturated(Length length) { return static_cast<int>(std::clamp<Length>(length, 0, INT_MAX)); }

// The digits from `position` on as a number no larger than `limit`, and
// whether there were any.
bool ReadDigits(std::u16string_view value, std::size_t& position, int limit, Length& number) {
    const std::size_t start = position;
    for (; position < value.size() && IsAsciiDigit(value[position]); ++position)
        number = std::min<Length>(number * 10 + (value[position] - u'0'), limit);
    return position > start;
}

// Where an amount goes when every weight is 0.
enum class AllZero : std::uint8_t { Evenly, ToLast };

// Whole shares of `amount` in proportion to `weights`, which add up to
// `amount` exactly: each share is where the running total's proportion of it
// lands, floored, less where the previous one landed.
std::vector<Length> Shares(Length amount, std::vector<Length> weights, AllZero allZero) {
    Length total = std::accumulate(weights.begin(), weights.end(), Length{0});
    if (total <= 0 && !weights.empty()) {
        if (allZero == AllZero::Evenly) {
            std::ranges::fill(weights, 1);
            total = static_cast<Length>(weights.size());
        } else {
            std::ranges::fill(weights, 0);
            weights.back() = total = 1;
        }
    }
    std::vector<Length> shares(weights.size());
    Length running = 0;
    Length given = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        running += weights[i];
        const Length upTo =
            i + 1 == weights.size()
                ? amount
                : static_cast<Length>(std::floor(static_cast<double>(amount) * (static_cast<double>(running) / total)));
        shares[i] = upTo - given;
        given = upTo;
    }
    return shares;
}

// How many of `rowCount` rows a cell at `firstRow` spans; 0 when that is
// not a row.
int ClipRowspan(int firstRow, int rowspan, int rowCount) {
    if (firstRow < 0 || firstRow >= rowCount) return 0;
    const int rowsLeft = rowCount - firstRow;
    return rowspan == 0 ? rowsLeft : std::clamp(rowspan, 1, rowsLeft);
}

}  // namespace

WidthSpec ParseWidthAttribute(std::u16string_view value) {
    std::size_t position = 0;
    while (position < value.size() && IsHtmlWhitespace(value[position])) ++position;
    Length number = 0;
    if (!ReadDigits(value, position, kMaxWidthAttributePixels, number)) return {};
    // A fraction rounds the number to the nearest whole, but a non-zero
    // width never to none.
    if (position < value.size() && value[position] == u'.') {
        const std::size_t fraction = ++position;
        bool nonZero = false;
        for (; position < value.size() && IsAsciiDigit(value[position]); ++position) nonZero |= value[position] != u'0';
        if (position > fraction && value[fraction] >= u'5') {
            ++number;
        } else if (number == 0 && nonZero) {
            number = 1;
        }
    }
    if (number == 0) return {};
    if (position < value.size() && value[position] == u'%')
        return {WidthSpec::Unit::Percent, static_cast<int>(std::min<Length>(number, 100))};
    return {WidthSpec::Unit::Pixels, static_cast<int>(std::min<Length>(number, kMaxWidthAttributePixels))};
}

void TableGrid::StartRow() {
    ++m_rowCount;
    m_currentColumn = 0;
}

int TableGrid::AddCell(int colspan, int rowspan) {
    if (m_rowCount == 0) StartRow();
    const int row = m_rowCount - 1;
    int column = m_currentColumn;
    if (column < m_leaves) {
        const int free = FirstFreeColumn(1, 0, m_leaves, column, 0);
        column = free >= 0 ? free : m_leaves;
    }
    column = std::min(column, kMaxColumns - 1);
    const int end = std::min(column + std::clamp(colspan, 1, kMaxColspan), kMaxColumns);
    const Length rows = rowspan == 0 ? INT_MAX : std::clamp(rowspan, 1, kMaxRowspan);
    Grow(end);
    Cover(1, 0, m_leaves, column, end, static_cast<int>(std::min<Length>(row + rows, INT_MAX)));
    m_columnCount = std::max(m_columnCount, end);
    m_currentColumn = end;
    return column;
}

int TableGrid::ClippedRowspan(int firstRow, int rowspan) const { return ClipRowspan(firstRow, rowspan, m_rowCount); }

// Doubles the tree until it has room for `columns`, carrying every column's
// row over; the new columns are free from the first row.
void TableGrid::Grow(int columns) {
    if (columns <= m_leaves) return;
    for (int node = 1; node < m_leaves; ++node) {
        for (const int child : {2 * node, 2 * node + 1}) {
            m_coveredUntil[child] = std::max(m_coveredUntil[child], m_coveredUntil[node]);
            m_freeFrom[child] = std::max(m_freeFrom[child], m_coveredUntil[node]);
        }
    }
    const int leaves = std::max(16, static_cast<int>(std::bit_ceil(static_cast<unsigned>(columns))));
    std::vector<int> coveredUntil(2 * static_cast<std::size_t>(leaves));
    for (int column = 0; column < m_leaves; ++column) coveredUntil[leaves + column] = m_coveredUntil[m_leaves + column];
    std::vector<int> freeFrom = coveredUntil;
    for (int node = leaves - 1; node >= 1; --node)
        freeFrom[node] = std::min(freeFrom[2 * node], freeFrom[2 * node + 1]);
    m_leaves = leaves;
    m_coveredUntil = std::move(coveredUntil);
    m_freeFrom = std::move(freeFrom);
}

// Records a span ending at `endRow` over columns [first, last) in the node
// for [low, high) and below it.
void TableGrid::Cover(int node, int low, int high, int first, int last, int endRow) {
    if (last <= low || high <= first) return;
    if (first <= low && high <= last) {
        m_coveredUntil[node] = std::max(m_coveredUntil[node], endRow);
        m_freeFrom[node] = std::max(m_freeFrom[node], endRow);
        return;
    }
    const int middle = low + (high - low) / 2;
    Cover(2 * node, low, middle, first, last, endRow);
    Cover(2 * node + 1, middle, high, first, last, endRow);
    m_freeFrom[node] = std::max(m_coveredUntil[node], std::min(m_freeFrom[2 * node], m_freeFrom[2 * node + 1]));
}

// The first column from `from` on, under the node for [low, high), that no
// span covers in the current row; -1 when there is none. `coveredAbove` is
// what the node's ancestors record for all of it.
int TableGrid::FirstFreeColumn(int node, int low, int high, int from, int coveredAbove) const {
    const int row = m_rowCount - 1;
    if (high <= from || std::max(m_freeFrom[node], coveredAbove) > row) return -1;
    if (high - low == 1) return low;
    const int covered = std::max(coveredAbove, m_coveredUntil[node]);
    const int middle = low + (high - low) / 2;
    const int left = FirstFreeColumn(2 * node, low, middle, from, covered);
    return left >= 0 ? left : FirstFreeColumn(2 * node + 1, middle, high, from, covered);
}

namespace {

struct Column {
    Length minimum = 0;
    Length maximum = 0;
    Length pixels = 0;  // the widest Pixels width of its cells, 0 for none
    int percent = 0;    // the largest percentage, once capped so the table's add up to 100
};

bool IsPercent(const Column& column) { return column.percent > 0; }
bool IsPixels(const Column& column) { return !IsPercent(column) && column.pixels > 0; }
bool IsAuto(const Column& column) { return !IsPercent(column) && !IsPixels(column); }

// A cell's min and max, its Pixels width included: the width raises the min
// and fixes the max.
std::pair<Length, Length> CellRange(const CellWidthInput& cell) {
    Length minimum = std::max(0, cell.intrinsic.minimum);
    Length maximum = std::max<Length>(minimum, cell.intrinsic.maximum);
    if (cell.width.unit == WidthSpec::Unit::Pixels && cell.width.value > 0) {
        minimum = std::max<Length>(minimum, cell.width.value);
        maximum = minimum;
    }
    return {minimum, maximum};
}

void AddSingleColumnCell(Column& column, const CellWidthInput& cell) {
    const auto [minimum, maximum] = CellRange(cell);
    column.minimum = std::max(column.minimum, minimum);
    column.maximum = std::max(column.maximum, maximum);
    if (cell.width.unit == WidthSpec::Unit::Pixels) column.pixels = std::max<Length>(column.pixels, cell.width.value);
    if (cell.width.unit == WidthSpec::Unit::Percent) column.percent = std::max(column.percent, cell.width.value);
}

// What a cell spanning `columns` needs beyond their sums goes to them, in
// proportion to their max.
void AddSpanningCell(std::span<Column> columns, const CellWidthInput& cell, Length spacing) {
    const auto [minimum, maximum] = CellRange(cell);
    const Length between = spacing * static_cast<Length>(columns.size() - 1);
    std::vector<Length> weights;
    Length minimums = between;
    Length maximums = between;
    for (const Column& column : columns) {
        weights.push_back(column.maximum);
        minimums += column.minimum;
        maximums += column.maximum;
    }
    const auto grow = [&](Length needed, Length Column::*field) {
        if (needed <= 0) return;
        const std::vector<Length> shares = Shares(needed, weights, AllZero::Evenly);
        for (std::size_t i = 0; i < columns.size(); ++i) columns[i].*field += shares[i];
    };
    grow(maximum - maximums, &Column::maximum);
    grow(minimum - minimums, &Column::minimum);
    for (Column& column : columns) column.maximum = std::max(column.maximum, column.minimum);
}

std::vector<Column> ColumnsOf(int columnCount, const std::vector<CellWidthInput>& cells, Length spacing) {
    std::vector<Column> columns(static_cast<std::size_t>(columnCount));
    std::vector<std::pair<int, const CellWidthInput*>> spanning;
    for (const CellWidthInput& cell : cells) {
        if (cell.column < 0 || cell.column >= columnCount) continue;
        const int colspan = std::clamp(cell.colspan, 1, columnCount - cell.column);
        if (colspan == 1) {
            AddSingleColumnCell(columns[cell.column], cell);
        } else {
            spanning.emplace_back(colspan, &cell);
        }
    }
    for (Column& column : columns) {
        if (IsPixels(column)) column.maximum = column.minimum;
    }
    std::ranges::stable_sort(spanning, {}, &std::pair<int, const CellWidthInput*>::first);
    for (const auto& [colspan, cell] : spanning)
        AddSpanningCell(std::span(columns).subspan(cell->column, colspan), *cell, spacing);
    int percentLeft = 100;
    for (Column& column : columns) {
        column.percent = std::min(std::max(column.percent, 0), percentLeft);
        percentLeft -= column.percent;
    }
    return columns;
}

// The columns' max total, widened so that each percentage column's max is
// its percentage of it, and the other columns' maxima fit in what the
// percentages leave.
Length WidenedMaximum(const std::vector<Column>& columns, Length available) {
    double widest = 0;
    for (const Column& column : columns) widest += static_cast<double>(column.maximum);
    double otherMaximums = 0;
    int percentLeft = 100;
    for (const Column& column : columns) {
        if (IsPercent(column)) {
            widest = std::max(widest, static_cast<double>(column.maximum) * 100 / column.percent);
            percentLeft -= column.percent;
        } else {
            otherMaximums += static_cast<double>(column.maximum);
        }
    }
    if (percentLeft < 100 && otherMaximums > 0)
        widest = percentLeft > 0 ? std::max(widest, otherMaximums * 100 / percentLeft) : HUGE_VAL;
    return static_cast<Length>(std::min(widest, static_cast<double>(available)));
}

Length TableWidthOf(WidthSpec attribute, Length available, Length minimumTotal, Length maximumTotal) {
    Length width = std::min(available, maximumTotal);
    if (attribute.value > 0 && attribute.unit == WidthSpec::Unit::Pixels) width = attribute.value;
    if (attribute.value > 0 && attribute.unit == WidthSpec::Unit::Percent)
        width = available * std::min(attribute.value, 100) / 100;
    return std::max(width, minimumTotal);
}

// Gives the columns `wanted` of them more than they have, as far as `left`
// allows, each the same fraction of what it wants.
void GrowTowards(std::vector<Length>& widths, const std::vector<Length>& wanted, Length& left) {
    const Length total = std::accumulate(wanted.begin(), wanted.end(), Length{0});
    const Length given = std::min(left, total);
    if (given <= 0) return;
    const std::vector<Length> shares = Shares(given, wanted, AllZero::Evenly);
    for (std::size_t i = 0; i < widths.size(); ++i) widths[i] += shares[i];
    left -= given;
}

std::vector<Length> DistributeWidth(const std::vector<Column>& columns, Length content) {
    std::vector<Length> widths;
    Length left = content;
    for (const Column& column : columns) {
        widths.push_back(column.minimum);
        left -= column.minimum;
    }
    const auto wantedBy = [&](auto&& target) {
        std::vector<Length> wanted;
        for (std::size_t i = 0; i < columns.size(); ++i)
            wanted.push_back(std::max<Length>(0, target(columns[i]) - widths[i]));
        return wanted;
    };
    GrowTowards(widths, wantedBy([&](const Column& c) { return IsPercent(c) ? content * c.percent / 100 : 0; }), left);
    GrowTowards(widths, wantedBy([](const Column& c) { return IsPixels(c) ? c.maximum : 0; }), left);
    GrowTowards(widths, wantedBy([](const Column& c) { return IsAuto(c) ? c.maximum : 0; }), left);
    if (left > 0 && !columns.empty()) {
        const bool anyAuto = std::ranges::any_of(columns, IsAuto);
        std::vector<Length> weights;
        for (const Column& column : columns) weights.push_back(!anyAuto || IsAuto(column) ? column.maximum : 0);
        if (anyAuto && std::ranges::all_of(weights, [](Length weight) { return weight == 0; })) {
            for (std::size_t i = 0; i < columns.size(); ++i) weights[i] = IsAuto(columns[i]) ? 1 : 0;
        }
        const std::vector<Length> shares = Shares(left, weights, AllZero::Evenly);
        for (std::size_t i = 0; i < widths.size(); ++i) widths[i] += shares[i];
    }
    return widths;
}

}  // namespace

ColumnLayout LayOutColumns(int columnCount, const std::vector<CellWidthInput>& cells, WidthSpec tableWidth,
                           int available, const TableFrame& frame) {
    columnCount = std::clamp(columnCount, 0, TableGrid::kMaxColumns);
    const Length spacing = std::max(0, frame.spacing);
    const std::vector<Column> columns = ColumnsOf(columnCount, cells, spacing);
    const Length frameWidth = spacing * (columnCount + 1) + std::max(0, frame.edges);
    Length minimumTotal = frameWidth;
    for (const Column& column : columns) minimumTotal += column.minimum;
    const Length width = TableWidthOf(tableWidth, std::max(0, available), minimumTotal,
                                      frameWidth + WidenedMaximum(columns, std::max(0, available)));
    ColumnLayout layout;
    layout.tableWidth = Saturated(width);
    for (const Length column : DistributeWidth(columns, width - frameWidth))
        layout.columnWidths.push_back(Saturated(column));
    return layout;
}

namespace {

// Row heights with sums over ranges of rows in logarithmic time (a Fenwick
// tree), so that cells spanning to the end of a long table from every row
// cost no more than their rows once each, and only when they need height.
class RowHeights {
public:
    explicit RowHeights(const std::vector<int>& heights) : m_heights(heights.size()), m_tree(heights.size() + 1) {
        for (std::size_t row = 0; row < heights.size(); ++row) Add(row, std::max(0, heights[row]));
    }
    Length Height(std::size_t row) const { return m_heights[row]; }
    Length Sum(std::size_t first, std::size_t count) const { return PrefixSum(first + count) - PrefixSum(first); }
    void Add(std::size_t row, Length height) {
        m_heights[row] += height;
        for (std::size_t i = row + 1; i < m_tree.size(); i += i & (~i + 1)) m_tree[i] += height;
    }

private:
    Length PrefixSum(std::size_t rows) const {
        Length sum = 0;
        for (std::size_t i = rows; i > 0; i -= i & (~i + 1)) sum += m_tree[i];
        return sum;
    }

    std::vector<Length> m_heights;
    std::vector<Length> m_tree;
};

}  // namespace

std::vector<int> DistributeRowHeights(std::vector<int> rowHeights, const std::vector<RowSpanInput>& spanning,
                                      int spacing) {
    const int rowCount = static_cast<int>(rowHeights.size());
    struct Span {
        int firstRow;
        int rows;
        int height;
    };
    std::vector<Span> spans;
    for (const RowSpanInput& cell : spanning) {
        if (const int rows = ClipRowspan(cell.firstRow, cell.rowspan, rowCount); rows > 0)
            spans.push_back({cell.firstRow, rows, cell.height});
    }
    std::ranges::stable_sort(spans, {}, &Span::rows);
    RowHeights heights(rowHeights);
    for (const Span& span : spans) {
        const Length needed =
            span.height - heights.Sum(span.firstRow, span.rows) - Length{std::max(0, spacing)} * (span.rows - 1);
        if (needed <= 0) continue;
        std::vector<Length> weights;
        for (int row = span.firstRow; row < span.firstRow + span.rows; ++row) weights.push_back(heights.Height(row));
        const std::vector<Length> shares = Shares(needed, std::move(weights), AllZero::ToLast);
        for (int i = 0; i < span.rows; ++i) heights.Add(span.firstRow + i, shares[i]);
    }
    for (int row = 0; row < rowCount; ++row) rowHeights[row] = Saturated(heights.Height(row));
    return rowHeights;
}

}  // namespace html
