// BlockFlow: lays out the flow from a resume point to its end — the inline
// content through the line breaker, and the blocks around it: their boxes,
// margins, backgrounds and borders, list markers, rules, and tables.
//
// Blocks are nested in the flow as their boundaries are, so one stack of
// open boxes follows them. Nesting past a depth cap, and tables inside more
// than kMaxTableDepth tables, are laid out as plain blocks that only break
// lines: hostile markup costs bounded work and the text is still shown.
//
// A table is sized when it opens: its cells are placed in the grid and
// measured (ContentWidths), the columns get their widths, and then each
// cell's content is laid out in its column like any block. When the table
// ends, the rows get their heights, each cell's lines and decorations move
// down to their row and vertical alignment, and the cells' boxes are drawn.
#pragma once

#include "framework/html/LineBreaker.h"

#include <memory>
#include <vector>

namespace html {

class BlockFlow {
public:
    static constexpr std::size_t kMaxBlockDepth = 200;
    static constexpr std::size_t kMaxTableDepth = 16;

    BlockFlow(Layout& layout, const Flow& flow, const StyleTable& styles);
    ~BlockFlow();

    // Lays out everything from `from` (a line's start outside every block, or
    // a block's start outside every other) with `top` and `pendingMargin` as
    // they were there.
    void LayOut(TextPosition from, int top, int pendingMargin);

private:
    struct Box;
    struct TableState;
    struct CellState;

    // Ends the open line, and gives a list item waiting for its first line
    // its marker.
    void EndLine();
    void Open(const Run& boundary);
    // Lays the block out as what it is; false when it is out of place there.
    bool OpenInPlace(const BlockBox& block, std::uint32_t index);
    void Close(const Run& boundary);
    // What a block's end does: the box's bottom, a table's rows and cells.
    void Finish(Box& box);
    void PushBox(Box box);
    void PushFlatBox(std::uint32_t index);
    void OpenBlock(const BlockBox& block, std::uint32_t index);
    void CloseBlock(Box& box);
    // Markers of items whose first line has come.
    void PlacePendingMarkers();
    void AddMarker(const Box& box, const LineBox& line);
    void PlaceRule(const BlockBox& rule, std::uint32_t index);

    void OpenTable(const BlockBox& block, std::uint32_t index);
    void OpenRow(Box& tableBox, std::uint32_t index);
    void OpenCell(Box& rowBox, std::uint32_t index);
    void CloseCell(Box& box);
    void CloseRow(Box& box);
    void CloseTable(Box& box);
    void PlaceCell(const TableState& table, CellState& cell, const std::vector<int>& tops,
                   const std::vector<int>& heights);
    static bool IsPlaced(const CellState& cell, const std::vector<int>& tops);
    void MoveDown(std::size_t firstLine, std::size_t endLine, std::size_t firstDecoration, std::size_t endDecoration,
                  int delta);
    void SetBands(const TableState& table, const std::vector<int>& tops);

    // A new box (a frame, a fill, or both) whose rectangle its block sets.
    std::uint32_t ReserveDecoration(const BlockBox& block, int border);
    void RefreshReach(std::size_t firstDecoration);
    std::size_t TableDepth() const;
    TextAlign ParentAlign() const;
    int Scaled(float cssPixels) const;
    int ScaledLine(float cssPixels) const;

    Layout& m_layout;
    const Flow& m_flow;
    const StyleTable& m_styles;
    LineBreaker m_lines;
    std::vector<Box> m_boxes;
    std::vector<std::unique_ptr<TableState>> m_tables;
    int m_pendingMarkers = 0;
};

}  // namespace html
