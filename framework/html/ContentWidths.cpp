#include "framework/html/ContentWidths.h"

#include "framework/html/TextUnits.h"

#include <algorithm>
#include <tuple>

namespace html {

namespace {

// What "as wide as it likes" is measured against.
constexpr int kUnbounded = Layout::kMaxTop;

int Sum(long long a, long long b) { return static_cast<int>(std::min<long long>(a + b, kUnbounded)); }

}  // namespace

TableShape ShapeOfTable(const Flow& flow, std::uint32_t table) {
    TableShape shape;
    const TextPosition end = flow.Block(table).end;
    for (std::uint32_t index = table + 1; index < flow.BlockCount(); ++index) {
        const BlockBox& child = flow.Block(index);
        if (child.start >= end) {
            break;
        }
        if (child.parent == table) {
            if (child.kind == BlockKind::Row) {
                shape.grid.StartRow();
            } else {
                shape.captions.push_back(index);
            }
            continue;
        }
        const bool inRowOfTable = child.kind == BlockKind::Cell && child.parent != kNoBlock &&
                                  flow.Block(child.parent).kind == BlockKind::Row &&
                                  flow.Block(child.parent).parent == table;
        if (inRowOfTable && shape.grid.RowCount() > 0) {
            TableCell cell;
            cell.block = index;
            cell.row = shape.grid.RowCount() - 1;
            cell.colspan = std::clamp(child.colspan, 1, TableGrid::kMaxColspan);
            cell.rowspan = child.rowspan;
            cell.column = shape.grid.AddCell(cell.colspan, cell.rowspan);
            shape.cells.push_back(cell);
        }
    }
    return shape;
}

ContentWidths::ContentWidths(Layout& layout, const Flow& flow, const StyleTable& styles)
    : m_layout(layout), m_flow(flow), m_styles(styles), m_measurer(*layout.m_measurer) {}

int ContentWidths::Horizontal(const BlockBox& block) const {
    const CssScale& scale = m_layout.m_scale;
    const double sides = double{block.margin.left} + block.margin.right + block.padding.left + block.padding.right;
    return Sum(scale.Pixels(sides), 2LL * scale.Border(static_cast<int>(block.border)));
}

IntrinsicWidths ContentWidths::Measure(TextPosition from, TextPosition to, std::size_t tableDepth) {
    // Nested tables measure their cells with this same object.
    const auto saved = std::make_tuple(m_widths, m_indent, m_line, m_word, m_trailingSpace);
    m_widths = {};
    m_indent = m_line = m_word = m_trailingSpace = 0;
    std::vector<int> indents;
    TextPosition position = from;
    std::size_t runIndex = m_flow.RunIndexAt(from);
    while (position < to) {
        while (position >= m_flow.RunEnd(runIndex)) {
            ++runIndex;
        }
        const Run& run = m_flow.RunAt(runIndex);
        if (run.kind == RunKind::Text) {
            const TextPosition end = std::min(m_flow.RunEnd(runIndex), to);
            MeasureText(runIndex, position, end);
            position = end;
            continue;
        }
        EndWord();
        if (run.kind == RunKind::Image || run.kind == RunKind::Embed) {
            const int width = m_flow.SizeOf(run.object, m_layout.m_scale).width;
            m_widths.minimum = std::max(m_widths.minimum, Sum(m_indent, width));
            m_line = Sum(m_line, width);
            ++position;
            continue;
        }
        EndLine();
        const BlockBox* block = IsBoundary(run.kind) ? &m_flow.BlockOf(run) : nullptr;
        if (run.kind == RunKind::BlockStart && block->kind == BlockKind::Table && tableDepth > 0) {
            const IntrinsicWidths table = MeasureTable(run.object, tableDepth - 1);
            m_widths.minimum = std::max(m_widths.minimum, Sum(m_indent, table.minimum));
            m_widths.maximum = std::max(m_widths.maximum, Sum(m_indent, table.maximum));
            position = std::max(block->end, position) + 1;
            runIndex = m_flow.RunIndexAt(std::min(position, m_flow.End() - 1));
            continue;
        }
        if (run.kind == RunKind::BlockStart) {
            indents.push_back(Horizontal(*block));
            m_indent = Sum(m_indent, indents.back());
        } else if (run.kind == RunKind::BlockEnd && !indents.empty()) {
            m_indent -= indents.back();
            indents.pop_back();
        }
        ++position;
    }
    EndWord();
    EndLine();
    const IntrinsicWidths widths = m_widths;
    std::tie(m_widths, m_indent, m_line, m_word, m_trailingSpace) = saved;
    return widths;
}

void ContentWidths::MeasureText(std::size_t runIndex, TextPosition from, TextPosition to) {
    const StyleId style = m_flow.RunAt(runIndex).style;
    const FontSpec& font = m_styles.Font(style);
    TextPosition position = from;
    while (position < to) {
        if (m_flow.CharAt(position) == kCollapsibleSpace) {
            EndWord();
            m_trailingSpace = m_layout.m_fonts.SpaceWidth(m_styles, style, m_measurer);
            m_line = Sum(m_line, m_trailingSpace);
            ++position;
            continue;
        }
        TextPosition wordEnd = position;
        while (wordEnd < to && m_flow.CharAt(wordEnd) != kCollapsibleSpace) {
            ++wordEnd;
        }
        for (std::uint32_t length = 0; position < wordEnd; position += length) {
            length = m_flow.SliceLength(position, wordEnd - position);
            const int width = m_measurer.TextWidth(font, m_flow.Text(position, length, m_scratch));
            m_word = Sum(m_word, width);
            m_line = Sum(m_line, width);
        }
        m_trailingSpace = 0;
    }
}

void ContentWidths::EndWord() {
    m_widths.minimum = std::max(m_widths.minimum, Sum(m_indent, m_word));
    m_word = 0;
}

void ContentWidths::EndLine() {
    m_widths.maximum = std::max(m_widths.maximum, Sum(m_indent, m_line - m_trailingSpace));
    m_line = 0;
    m_trailingSpace = 0;
}

std::vector<CellWidthInput> ContentWidths::CellInputs(const TableShape& shape, std::size_t tableDepth) {
    const CssScale& scale = m_layout.m_scale;
    std::vector<CellWidthInput> inputs;
    inputs.reserve(shape.cells.size());
    for (const TableCell& cell : shape.cells) {
        const BlockBox& box = m_flow.Block(cell.block);
        const int frame = Horizontal(box);
        IntrinsicWidths content = Measure(box.start + 1, box.end, tableDepth);
        if (box.noWrap) {
            content.minimum = content.maximum;
        }
        inputs.push_back(CellWidthInput{cell.column, cell.colspan,
                                        IntrinsicWidths{Sum(content.minimum, frame), Sum(content.maximum, frame)},
                                        ScaledWidth(box.width, scale)});
    }
    return inputs;
}

TableFrame ContentWidths::Frame(const BlockBox& table) const {
    const CssScale& scale = m_layout.m_scale;
    return TableFrame{scale.Pixels(table.spacing), 2 * scale.Border(static_cast<int>(table.border))};
}

ColumnLayout ContentWidths::SizeTable(std::uint32_t table, const TableShape& shape, int available,
                                      std::size_t tableDepth) {
    const BlockBox& block = m_flow.Block(table);
    const std::vector<CellWidthInput> inputs = CellInputs(shape, tableDepth);
    WidthSpec width = ScaledWidth(block.width, m_layout.m_scale);
    if (width.unit == WidthSpec::Unit::Pixels) {
        width.value = std::min(width.value, available);  // the pane has no horizontal scroll bar
    }
    ColumnLayout columns = LayOutColumns(shape.grid.ColumnCount(), inputs, width, available, Frame(block));
    int captionMinimum = 0;
    for (const std::uint32_t caption : shape.captions) {
        const BlockBox& box = m_flow.Block(caption);
        captionMinimum =
            std::max(captionMinimum, Sum(Measure(box.start + 1, box.end, tableDepth).minimum, Horizontal(box)));
    }
    if (captionMinimum > columns.tableWidth) {
        columns = LayOutColumns(shape.grid.ColumnCount(), inputs, WidthSpec{WidthSpec::Unit::Pixels, captionMinimum},
                                available, Frame(block));
    }
    return columns;
}

// A nested table is as narrow as its columns' minimums allow and as wide as
// their maximums want; a percentage of a width still unknown counts as none.
IntrinsicWidths ContentWidths::MeasureTable(std::uint32_t table, std::size_t tableDepth) {
    const BlockBox& block = m_flow.Block(table);
    const TableShape shape = ShapeOfTable(m_flow, table);
    const int columns = shape.grid.ColumnCount();
    const std::vector<CellWidthInput> inputs = CellInputs(shape, tableDepth);
    WidthSpec width = ScaledWidth(block.width, m_layout.m_scale);
    if (width.unit == WidthSpec::Unit::Percent) {
        width = WidthSpec{};
    }
    return IntrinsicWidths{LayOutColumns(columns, inputs, width, 0, Frame(block)).tableWidth,
                           LayOutColumns(columns, inputs, width, kUnbounded, Frame(block)).tableWidth};
}

WidthSpec ScaledWidth(WidthSpec width, const CssScale& scale) {
    if (width.unit == WidthSpec::Unit::Pixels) {
        width.value = scale.Length(width.value);
    }
    return width;
}

}  // namespace html
