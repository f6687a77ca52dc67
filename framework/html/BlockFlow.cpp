#include "framework/html/BlockFlow.h"

#include "framework/html/ContentWidths.h"
#include "framework/html/TableGrid.h"

#include <algorithm>

namespace html {

namespace {

constexpr std::uint32_t kNoDecoration = 0xFFFFFFFF;
constexpr std::size_t kNoIndex = static_cast<std::size_t>(-1);

// CSS pixels: the narrowest box indents may leave.
constexpr float kNarrowestIndentedBox = 40;

int Clamped(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -Layout::kMaxTop, Layout::kMaxTop));
}

}  // namespace

// An open block: the box its lines go into, and what its end must finish.
struct BlockFlow::Box {
    std::uint32_t block = kNoBlock;
    BlockKind kind = BlockKind::Block;
    bool flat = false;  // laid out as a plain block (past a cap, or out of place)
    int left = 0;       // the content box
    int right = 0;
    TextAlign align = TextAlign::Left;
    bool wrap = true;
    std::uint32_t decoration = kNoDecoration;
    int bottomInset = 0;  // padding and border below the content
    int marginBottom = 0;
    bool quirkyMargins = false;
    bool markerPending = false;
    std::size_t markerLine = 0;
    std::size_t table = kNoIndex;  // tables, rows, cells: their table's state
    std::size_t cell = kNoIndex;   // cells: their place among the table's cells
};

struct BlockFlow::CellState {
    TableCell where;
    int left = 0;  // the border box across
    int width = 0;
    int inset = 0;    // border and padding above the content
    int laidTop = 0;  // the row top its content was laid out from
    int height = 0;   // the border box height its content needs
    int needed = 0;   // and the least its row or rows must give it
    bool opened = false;
    std::uint32_t decoration = kNoDecoration;
    std::size_t firstLine = 0;
    std::size_t endLine = 0;
    std::size_t firstDecoration = 0;
    std::size_t endDecoration = 0;
};

struct BlockFlow::TableState {
    std::uint32_t block = kNoBlock;
    int left = 0;  // the border box across
    int width = 0;
    int border = 0;
    int spacing = 0;
    int topBefore = 0;  // where the table (its caption first) starts
    int boxTop = -1;    // where its border box starts, once a row came
    TableGrid grid;
    std::vector<int> columnLeft;
    std::vector<int> columnWidth;
    std::vector<CellState> cells;
    std::size_t nextCell = 0;
    std::vector<int> rowTops;
    std::vector<int> rowHeights;
    std::uint32_t decoration = kNoDecoration;
    std::size_t firstLine = 0;
    std::size_t firstDecoration = 0;
};

// A cell whose content was laid out, in a row that was.
bool BlockFlow::IsPlaced(const CellState& cell, const std::vector<int>& tops) {
    return cell.opened && static_cast<std::size_t>(cell.where.row) < tops.size();
}

BlockFlow::BlockFlow(Layout& layout, const Flow& flow, const StyleTable& styles)
    : m_layout(layout), m_flow(flow), m_styles(styles), m_lines(layout, flow, styles) {}

BlockFlow::~BlockFlow() = default;

void BlockFlow::LayOut(TextPosition from, int top, int pendingMargin) {
    const int left = m_layout.ContentLeft();
    m_lines.SetBox(left, left + m_layout.ContentWidth(), TextAlign::Left);
    m_lines.SetTop(top);
    m_lines.SetPendingMargin(pendingMargin);
    if (m_layout.m_lines.Empty() && m_layout.m_decorations.Empty()) {
        m_lines.DropQuirkyMarginsFromHere();  // at the top of the body
    }
    m_lines.BeginLine(from);
    const TextPosition end = m_flow.End();
    TextPosition position = from;
    std::size_t runIndex = m_flow.RunIndexAt(from);
    while (position < end) {
        while (position >= m_flow.RunEnd(runIndex)) {
            ++runIndex;
        }
        const Run& run = m_flow.RunAt(runIndex);
        if (IsBoundary(run.kind)) {
            EndLine();
            if (run.kind == RunKind::BlockStart) {
                Open(run);
            } else {
                Close(run);
            }
            m_lines.BeginLine(++position);
        } else {
            position = m_lines.PlaceNext(runIndex, position);
            PlacePendingMarkers();
        }
    }
    EndLine();
    m_layout.m_bottom = m_lines.Top();
    m_layout.m_pendingMargin = m_lines.PendingMargin();
}

void BlockFlow::EndLine() {
    m_lines.EndLine();
    PlacePendingMarkers();
}

void BlockFlow::Open(const Run& boundary) {
    const BlockBox& block = m_flow.BlockOf(boundary);
    const std::uint32_t index = boundary.object;
    if (m_boxes.empty()) {
        m_layout.m_blockStarts.PushBack(Layout::ResumePoint{
            boundary.start, block.end, static_cast<std::uint32_t>(m_layout.m_lines.Size()),
            static_cast<std::uint32_t>(m_layout.m_fragments.Size()),
            static_cast<std::uint32_t>(m_layout.m_decorations.Size()), m_lines.Top(), m_lines.PendingMargin()});
    }
    if (m_boxes.size() < kMaxBlockDepth && OpenInPlace(block, index)) {
        return;
    }
    PushFlatBox(index);  // past a cap, or out of place: it only breaks lines
}

bool BlockFlow::OpenInPlace(const BlockBox& block, std::uint32_t index) {
    Box* parent = m_boxes.empty() ? nullptr : &m_boxes.back();
    const bool inTable = parent && !parent->flat && parent->kind == BlockKind::Table;
    const bool inRow = parent && !parent->flat && parent->kind == BlockKind::Row;
    switch (block.kind) {
    case BlockKind::Rule: PlaceRule(block, index); return true;
    case BlockKind::Table:
        if (TableDepth() >= kMaxTableDepth || m_boxes.size() + 3 >= kMaxBlockDepth) return false;
        OpenTable(block, index);
        return true;
    case BlockKind::Row:
        if (!inTable) return false;
        OpenRow(*parent, index);
        return true;
    case BlockKind::Cell:
        if (!inRow) return false;
        OpenCell(*parent, index);
        return true;
    case BlockKind::Block:
    case BlockKind::ListItem:
        if (inRow) return false;
        OpenBlock(block, index);
        return true;
    }
    return false;
}

void BlockFlow::Close(const Run& boundary) {
    if (m_boxes.empty() || m_boxes.back().block != boundary.object) {
        return;  // a block opened before the resume point cannot end after it
    }
    Box& box = m_boxes.back();
    if (!box.flat) {
        Finish(box);
    }
    if (box.markerPending) {
        --m_pendingMarkers;
    }
    m_boxes.pop_back();
    if (m_boxes.empty()) {
        const int left = m_layout.ContentLeft();
        m_lines.SetBox(left, left + m_layout.ContentWidth(), TextAlign::Left);
    } else {
        const Box& parent = m_boxes.back();
        m_lines.SetBox(parent.left, parent.right, parent.align, parent.wrap);
    }
}

void BlockFlow::Finish(Box& box) {
    switch (box.kind) {
    case BlockKind::Table: CloseTable(box); return;
    case BlockKind::Row: CloseRow(box); return;
    case BlockKind::Cell: CloseCell(box); return;
    case BlockKind::Block:
    case BlockKind::ListItem:
    case BlockKind::Rule: CloseBlock(box); return;
    }
}

void BlockFlow::PushBox(Box box) {
    m_lines.SetBox(box.left, box.right, box.align, box.wrap);
    m_boxes.push_back(box);
}

void BlockFlow::PushFlatBox(std::uint32_t index) {
    Box box;
    box.block = index;
    box.flat = true;
    box.left = m_lines.BoxLeft();
    box.right = m_lines.BoxRight();
    box.align = m_lines.Align();
    box.wrap = m_lines.Wraps();
    PushBox(box);
}

int BlockFlow::Scaled(float cssPixels) const { return m_layout.m_scale.Pixels(cssPixels); }

int BlockFlow::ScaledLine(float cssPixels) const { return m_layout.m_scale.Border(static_cast<int>(cssPixels)); }

std::size_t BlockFlow::TableDepth() const {
    return static_cast<std::size_t>(std::count_if(
        m_boxes.begin(), m_boxes.end(), [](const Box& box) { return !box.flat && box.kind == BlockKind::Table; }));
}

TextAlign BlockFlow::ParentAlign() const { return m_boxes.empty() ? TextAlign::Left : m_boxes.back().align; }

std::uint32_t BlockFlow::ReserveDecoration(const BlockBox& block, int border) {
    Decoration decoration;
    decoration.kind = Decoration::Kind::Box;
    decoration.fill = block.hasBackground ? block.background : kTransparent;
    decoration.borderStyle = border > 0 ? block.borderStyle : BorderStyle::None;
    decoration.border = border;
    decoration.borderColor = block.borderColor;
    const int top = m_lines.Top();
    decoration.rect = Rect{0, top, 0, top};
    auto& decorations = m_layout.m_decorations;
    const int reachBefore = decorations.Empty() ? 0 : decorations.Back().band.reach;
    decoration.band = Band{top, reachBefore};
    decorations.PushBack(decoration);
    return static_cast<std::uint32_t>(decorations.Size() - 1);
}

// A box's size is known only at its end; what was added after it then
// reaches as far as the box does.
void BlockFlow::RefreshReach(std::size_t firstDecoration) {
    auto& decorations = m_layout.m_decorations;
    int reach = firstDecoration == 0 ? 0 : decorations[firstDecoration - 1].band.reach;
    for (std::size_t index = firstDecoration; index < decorations.Size(); ++index) {
        reach = std::max(reach, decorations[index].rect.bottom);
        decorations[index].band.reach = reach;
    }
}

void BlockFlow::OpenBlock(const BlockBox& block, std::uint32_t index) {
    const int containerLeft = m_lines.BoxLeft();
    const int containerRight = m_lines.BoxRight();
    const int border = ScaledLine(block.border);
    const bool framed = block.hasBackground || border > 0;
    m_lines.AddMargin(Scaled(block.margin.top), block.quirkyMargins);
    if (framed || block.padding.top > 0) {
        m_lines.CommitMargin();
    }
    Box box;
    box.block = index;
    box.kind = block.kind;
    int outerLeft = containerLeft + Scaled(block.margin.left);
    int outerRight = std::max(outerLeft, containerRight - Scaled(block.margin.right));
    box.left = std::min(outerRight, outerLeft + border + Scaled(block.padding.left));
    box.right = std::max(box.left, outerRight - border - Scaled(block.padding.right));
    // The pane cannot scroll sideways: indents that would leave the text too
    // narrow to read (deep nesting) are not taken.
    const int narrowest = std::min(containerRight - containerLeft, Scaled(kNarrowestIndentedBox));
    if (box.right - box.left < narrowest) {
        outerLeft = box.left = containerLeft;
        outerRight = box.right = containerRight;
    }
    box.align = block.align == TextAlign::Inherit ? ParentAlign() : block.align;
    box.wrap = m_lines.Wraps();
    if (framed) {
        box.decoration = ReserveDecoration(block, border);
        Rect& rect = m_layout.m_decorations[box.decoration].rect;
        rect.left = outerLeft;
        rect.right = outerRight;
    }
    m_lines.SetTop(m_lines.Top() + border + Scaled(block.padding.top));
    box.bottomInset = border + Scaled(block.padding.bottom);
    box.marginBottom = Scaled(block.margin.bottom);
    box.quirkyMargins = block.quirkyMargins;
    if (block.kind == BlockKind::ListItem && block.marker != ListMarker::None) {
        box.markerPending = true;
        box.markerLine = m_layout.m_lines.Size();
        ++m_pendingMarkers;
    }
    PushBox(box);
}

void BlockFlow::CloseBlock(Box& box) {
    if (box.markerPending) {
        // An item with no line of its own still shows its marker.
        m_lines.AddEmptyLine(
            m_flow.Block(box.block).end,
            m_layout.m_fonts.Metrics(m_styles, m_flow.Block(box.block).markerStyle, *m_layout.m_measurer));
        PlacePendingMarkers();
    }
    if (box.bottomInset > 0 || box.decoration != kNoDecoration) {
        m_lines.CommitMargin();
    }
    m_lines.SetTop(m_lines.Top() + box.bottomInset);
    if (box.decoration != kNoDecoration) {
        m_layout.m_decorations[box.decoration].rect.bottom = m_lines.Top();
        RefreshReach(box.decoration);
    }
    m_lines.AddMargin(box.marginBottom, box.quirkyMargins);
}

void BlockFlow::PlacePendingMarkers() {
    if (m_pendingMarkers == 0) {
        return;
    }
    for (Box& box : m_boxes) {
        if (box.markerPending && m_layout.m_lines.Size() > box.markerLine) {
            AddMarker(box, m_layout.m_lines[box.markerLine]);
            box.markerPending = false;
            --m_pendingMarkers;
        }
    }
}

// The marker stands left of the item's first line, on its baseline: a
// number and its period, or a small disc, circle or square, a space's
// width away from the text.
void BlockFlow::AddMarker(const Box& box, const LineBox& line) {
    const BlockBox& item = m_flow.Block(box.block);
    TextMeasurer& measurer = *m_layout.m_measurer;
    const FontMetrics& metrics = m_layout.m_fonts.Metrics(m_styles, item.markerStyle, measurer);
    const int gap = m_layout.m_fonts.SpaceWidth(m_styles, item.markerStyle, measurer);
    const int baseline = line.top + line.ascent;
    Decoration marker;
    marker.kind = Decoration::Kind::Marker;
    marker.marker = item.marker;
    marker.style = item.markerStyle;
    marker.ordinal = item.ordinal;
    marker.fill = m_styles.TextColor(item.markerStyle);
    if (IsShapeMarker(item.marker)) {
        const int size = std::max(3, m_styles.Font(item.markerStyle).pixelSize * 7 / 20);
        const int middle = baseline - metrics.ascent * 3 / 10;
        marker.rect = Rect{box.left - gap - size, middle - size / 2, box.left - gap, middle - size / 2 + size};
    } else {
        const int width =
            measurer.TextWidth(m_styles.Font(item.markerStyle), ListMarkerText(item.marker, item.ordinal));
        marker.rect =
            Rect{box.left - gap - width, baseline - metrics.ascent, box.left - gap, baseline + metrics.descent};
    }
    auto& decorations = m_layout.m_decorations;
    const int reachBefore = decorations.Empty() ? 0 : decorations.Back().band.reach;
    marker.band = Band{std::min(marker.rect.top, line.band.top), std::max(reachBefore, marker.rect.bottom)};
    decorations.PushBack(marker);
}

// A rule is a box of its own: as wide as it says (or the container), placed
// as it says (centred by default), with a sunken frame or a solid fill.
void BlockFlow::PlaceRule(const BlockBox& rule, std::uint32_t index) {
    m_lines.AddMargin(Scaled(rule.margin.top), false);
    m_lines.CommitMargin();
    const int left = m_lines.BoxLeft();
    const int available = m_lines.BoxRight() - left;
    int width = available;
    if (rule.width.unit == WidthSpec::Unit::Pixels) {
        width = std::min(available, Scaled(static_cast<float>(rule.width.value)));
    } else if (rule.width.unit == WidthSpec::Unit::Percent) {
        width = static_cast<int>(static_cast<long long>(available) * rule.width.value / 100);
    }
    int x = left + (available - width) / 2;
    if (rule.placement == TextAlign::Left) {
        x = left;
    } else if (rule.placement == TextAlign::Right) {
        x = left + available - width;
    }
    const int height = std::max(1, Scaled(rule.height));
    BlockBox look = rule;
    if (rule.borderStyle == BorderStyle::Solid) {
        look.hasBackground = true;
        look.background = rule.borderColor;
    }
    const std::uint32_t decoration =
        ReserveDecoration(look, rule.borderStyle == BorderStyle::Solid ? 0 : ScaledLine(rule.border));
    const int top = m_lines.Top();
    m_layout.m_decorations[decoration].rect = Rect{x, top, x + width, top + height};
    RefreshReach(decoration);
    m_lines.SetTop(top + height);
    m_lines.AddMargin(Scaled(rule.margin.bottom), false);
    PushFlatBox(index);
}

void BlockFlow::OpenTable(const BlockBox& block, std::uint32_t index) {
    m_lines.CommitMargin();
    auto state = std::make_unique<TableState>();
    TableState& table = *state;
    table.block = index;
    table.border = ScaledLine(block.border);
    table.spacing = Scaled(block.spacing);
    TableShape shape = ShapeOfTable(m_flow, index);
    ColumnLayout columns =
        ContentWidths(m_layout, m_flow, m_styles)
            .SizeTable(index, shape, m_lines.BoxRight() - m_lines.BoxLeft(), kMaxTableDepth - TableDepth() - 1);
    table.columnWidth = std::move(columns.columnWidths);
    table.width = columns.tableWidth;
    for (const TableCell& where : shape.cells) {
        CellState cell;
        cell.where = where;
        table.cells.push_back(cell);
    }
    table.grid = std::move(shape.grid);

    const int left = m_lines.BoxLeft();
    const int room = std::max(0, m_lines.BoxRight() - left - table.width);
    const TextAlign placement = block.placement == TextAlign::Inherit ? ParentAlign() : block.placement;
    table.left = left + (placement == TextAlign::Center ? room / 2 : placement == TextAlign::Right ? room : 0);
    int x = table.left + table.border + table.spacing;
    for (const int width : table.columnWidth) {
        table.columnLeft.push_back(x);
        x = Clamped(static_cast<long long>(x) + width + table.spacing);
    }
    table.topBefore = m_lines.Top();
    table.firstLine = m_layout.m_lines.Size();
    table.firstDecoration = m_layout.m_decorations.Size();
    if (block.hasBackground || table.border > 0) {
        table.decoration = ReserveDecoration(block, table.border);
    }

    Box box;
    box.block = index;
    box.kind = BlockKind::Table;
    box.left = table.left;
    box.right = Clamped(static_cast<long long>(table.left) + table.width);
    box.align = TextAlign::Left;
    box.wrap = m_lines.Wraps();
    box.table = m_tables.size();
    m_tables.push_back(std::move(state));
    PushBox(box);
}

void BlockFlow::OpenRow(Box& tableBox, std::uint32_t index) {
    TableState& table = *m_tables[tableBox.table];
    if (table.boxTop < 0) {
        m_lines.CommitMargin();
        table.boxTop = m_lines.Top();
        m_lines.SetTop(table.boxTop + table.border + table.spacing);
    }
    table.rowTops.push_back(m_lines.Top());
    table.rowHeights.push_back(Scaled(m_flow.Block(index).height));
    Box box = tableBox;
    box.block = index;
    box.kind = BlockKind::Row;
    box.decoration = kNoDecoration;
    PushBox(box);
}

void BlockFlow::OpenCell(Box& rowBox, std::uint32_t index) {
    TableState& table = *m_tables[rowBox.table];
    if (table.nextCell >= table.cells.size() || table.cells[table.nextCell].where.block != index) {
        PushFlatBox(index);
        return;
    }
    CellState& cell = table.cells[table.nextCell];
    const BlockBox& block = m_flow.Block(index);
    cell.opened = true;
    cell.left = table.columnLeft[cell.where.column];
    long long width = static_cast<long long>(table.spacing) * (cell.where.colspan - 1);
    const int end = std::min<int>(cell.where.column + cell.where.colspan, static_cast<int>(table.columnWidth.size()));
    for (int column = cell.where.column; column < end; ++column) {
        width += table.columnWidth[column];
    }
    cell.width = Clamped(width);
    const int border = ScaledLine(block.border);
    cell.laidTop = table.rowTops.back();
    cell.inset = border + Scaled(block.padding.top);
    m_lines.SetTop(cell.laidTop);
    if (block.hasBackground || border > 0) {
        cell.decoration = ReserveDecoration(block, border);
    }
    cell.firstLine = m_layout.m_lines.Size();
    cell.firstDecoration = m_layout.m_decorations.Size();
    m_lines.SetTop(cell.laidTop + cell.inset);
    m_lines.SetPendingMargin(0);
    m_lines.DropQuirkyMarginsFromHere();

    Box box;
    box.block = index;
    box.kind = BlockKind::Cell;
    box.left = std::min(cell.left + cell.width, cell.left + border + Scaled(block.padding.left));
    box.right = std::max(box.left, cell.left + cell.width - border - Scaled(block.padding.right));
    box.align = block.align == TextAlign::Inherit ? TextAlign::Left : block.align;
    box.wrap = m_lines.Wraps() && !block.noWrap;
    box.bottomInset = border + Scaled(block.padding.bottom);
    box.table = rowBox.table;
    box.cell = table.nextCell++;
    PushBox(box);
}

void BlockFlow::CloseCell(Box& box) {
    TableState& table = *m_tables[box.table];
    CellState& cell = table.cells[box.cell];
    // Quirks mode: the margin below a cell's last block stays inside.
    m_lines.SetPendingMargin(0);
    cell.height = std::max(0, m_lines.Top() + box.bottomInset - cell.laidTop);
    cell.needed = std::max(cell.height, Scaled(m_flow.Block(box.block).height));
    cell.endLine = m_layout.m_lines.Size();
    cell.endDecoration = m_layout.m_decorations.Size();
    if (table.grid.ClippedRowspan(cell.where.row, cell.where.rowspan) == 1) {
        int& rowHeight = table.rowHeights.back();
        rowHeight = std::max(rowHeight, cell.needed);
    }
    m_lines.SetTop(cell.laidTop);
}

void BlockFlow::CloseRow(Box& box) {
    TableState& table = *m_tables[box.table];
    m_lines.SetTop(table.rowTops.back() + table.rowHeights.back() + table.spacing);
}

void BlockFlow::CloseTable(Box& box) {
    TableState& table = *m_tables[box.table];
    m_lines.SetPendingMargin(0);
    if (table.boxTop < 0) {
        table.boxTop = m_lines.Top();
        m_lines.SetTop(table.boxTop + table.border + table.spacing);
    }
    std::vector<RowSpanInput> spanning;
    for (const CellState& cell : table.cells) {
        const int rows = table.grid.ClippedRowspan(cell.where.row, cell.where.rowspan);
        if (cell.opened && rows > 1) {
            spanning.push_back(RowSpanInput{cell.where.row, rows, cell.needed});
        }
    }
    const std::vector<int> heights = DistributeRowHeights(table.rowHeights, spanning, table.spacing);
    std::vector<int> tops(heights.size());
    int y = table.boxTop + table.border + table.spacing;
    for (std::size_t row = 0; row < heights.size(); ++row) {
        tops[row] = y;
        y = Clamped(static_cast<long long>(y) + heights[row] + table.spacing);
    }
    for (CellState& cell : table.cells) {
        if (IsPlaced(cell, tops)) {
            PlaceCell(table, cell, tops, heights);
        }
    }
    const int bottom = Clamped(static_cast<long long>(y) + table.border);
    if (table.decoration != kNoDecoration) {
        m_layout.m_decorations[table.decoration].rect =
            Rect{table.left, table.boxTop, Clamped(static_cast<long long>(table.left) + table.width), bottom};
    }
    m_lines.SetTop(bottom);
    if (TableDepth() == 1) {
        SetBands(table, tops);
    }
    m_tables.pop_back();
}

// The cell's content moves to its row, as the row's height and the cell's
// vertical alignment say, and its box is drawn over all the rows it spans.
void BlockFlow::PlaceCell(const TableState& table, CellState& cell, const std::vector<int>& tops,
                          const std::vector<int>& heights) {
    const int rows = std::max(1, table.grid.ClippedRowspan(cell.where.row, cell.where.rowspan));
    long long boxHeight = static_cast<long long>(table.spacing) * (rows - 1);
    for (int row = cell.where.row; row < cell.where.row + rows && row < static_cast<int>(heights.size()); ++row) {
        boxHeight += heights[row];
    }
    const int top = tops[cell.where.row];
    const int room = std::max(0, Clamped(boxHeight) - cell.height);
    const VerticalAlign align = m_flow.Block(cell.where.block).verticalAlign;
    const int offset = align == VerticalAlign::Top ? 0 : align == VerticalAlign::Bottom ? room : room / 2;
    MoveDown(cell.firstLine, cell.endLine, cell.firstDecoration, cell.endDecoration, top + offset - cell.laidTop);
    if (cell.decoration != kNoDecoration) {
        m_layout.m_decorations[cell.decoration].rect =
            Rect{cell.left, top, Clamped(static_cast<long long>(cell.left) + cell.width), Clamped(top + boxHeight)};
    }
}

void BlockFlow::MoveDown(std::size_t firstLine, std::size_t endLine, std::size_t firstDecoration,
                         std::size_t endDecoration, int delta) {
    if (delta == 0) {
        return;
    }
    for (std::size_t index = firstLine; index < endLine; ++index) {
        m_layout.m_lines[index].top = Clamped(static_cast<long long>(m_layout.m_lines[index].top) + delta);
    }
    for (std::size_t index = firstDecoration; index < endDecoration; ++index) {
        Rect& rect = m_layout.m_decorations[index].rect;
        rect.top = Clamped(static_cast<long long>(rect.top) + delta);
        rect.bottom = Clamped(static_cast<long long>(rect.bottom) + delta);
    }
}

// Everything in an outermost table takes the top of the row its cell starts
// in as its band's top (its own top outside the cells), and reaches as far
// as anything before it.
void BlockFlow::SetBands(const TableState& table, const std::vector<int>& tops) {
    auto& lines = m_layout.m_lines;
    auto& decorations = m_layout.m_decorations;
    for (std::size_t index = table.firstLine; index < lines.Size(); ++index) {
        lines[index].band.top = lines[index].top;
    }
    for (std::size_t index = table.firstDecoration; index < decorations.Size(); ++index) {
        decorations[index].band.top = decorations[index].rect.top;
    }
    for (const CellState& cell : table.cells) {
        if (!IsPlaced(cell, tops)) {
            continue;
        }
        const int top = tops[cell.where.row];
        for (std::size_t index = cell.firstLine; index < cell.endLine; ++index) {
            lines[index].band.top = top;
        }
        if (cell.decoration != kNoDecoration) {
            decorations[cell.decoration].band.top = top;
        }
        for (std::size_t index = cell.firstDecoration; index < cell.endDecoration; ++index) {
            decorations[index].band.top = top;
        }
    }
    if (table.decoration != kNoDecoration) {
        decorations[table.decoration].band.top = table.topBefore;
    }
    int reach = table.firstLine == 0 ? 0 : lines[table.firstLine - 1].band.reach;
    for (std::size_t index = table.firstLine; index < lines.Size(); ++index) {
        reach = std::max(reach, lines[index].Bottom());
        lines[index].band.reach = reach;
    }
    RefreshReach(table.firstDecoration);
}

}  // namespace html
