// LineBreaker: fills line boxes with the inline content of the flow: words
// (runs of non-space characters, possibly across styles) go on the line
// while they fit; a collapsible space is a break opportunity and hangs at
// the end of a line; a word wider than the whole line is broken where it
// stops fitting.
//
// Lines go into the box the block layout gives (SetBox) and are aligned in
// it when they end. The breaker also keeps the vertical place: the top of
// the next line and the margin collapsed above it, which the first line (or
// anything the blocks draw) adds when it comes.
#pragma once

#include "framework/html/Layout.h"

#include <optional>
#include <string>
#include <vector>

namespace html {

class LineBreaker {
public:
    LineBreaker(Layout& layout, const Flow& flow, const StyleTable& styles);

    // The box lines are laid out in from the next line on, their alignment
    // (Inherit counts as left), and whether they wrap (a cell's nowrap: then
    // only breaks end lines, and a line may run past the box).
    void SetBox(int left, int right, TextAlign align, bool wrap = true);
    int BoxLeft() const { return m_left; }
    int BoxRight() const { return m_left + m_width; }
    TextAlign Align() const { return m_align; }
    bool Wraps() const { return m_wrap; }

    // Starts the next line at `start`; anything placed goes on it.
    void BeginLine(TextPosition start);
    // Places what run `runIndex` holds at `position` (a text, a break or an
    // object; not a block's boundary). Returns the position after it.
    TextPosition PlaceNext(std::size_t runIndex, TextPosition position);
    // Ends the open line if it holds anything.
    void EndLine();
    // A line with nothing on it, as tall as `metrics` (a list item's marker
    // on an item without text).
    void AddEmptyLine(TextPosition start, const FontMetrics& metrics);

    // The top of the next line, before the pending margin.
    int Top() const { return m_top; }
    void SetTop(int top);
    // Margins collapse: of the margins that meet, the largest counts. A
    // quirky one (BlockBox::quirkyMargins) is dropped at the top of a box
    // that asked for it (DropQuirkyMarginsFromHere).
    void AddMargin(int margin, bool quirky);
    int PendingMargin() const { return m_pendingMargin; }
    void SetPendingMargin(int margin) { m_pendingMargin = margin; }
    // Moves the top past the pending margin, as content does.
    void CommitMargin();
    void DropQuirkyMarginsFromHere() { m_atBoxTop = true; }

private:
    struct Segment {
        std::uint32_t run;
        TextPosition start;
        std::uint32_t length;
    };

    bool HasContent() const;
    void FinishLine();
    void AlignLine(std::size_t firstFragment);
    void DropTrailingSpace();
    void Grow(const FontMetrics& metrics);
    void GrowForStyle(StyleId style);
    void AddFragment(std::uint32_t run, TextPosition start, std::uint32_t length, int width);
    void AddText(std::uint32_t run, TextPosition start, std::uint32_t length, int width);
    void PlaceObject(std::size_t runIndex, TextPosition position);
    void PlaceSpace(std::size_t runIndex, TextPosition position);
    TextPosition PlaceWord(std::size_t runIndex, TextPosition position);
    TextPosition CollectWord(std::size_t runIndex, TextPosition position);
    std::optional<int> MeasureWord();
    void PlaceSegments();
    void PlaceBrokenWord();
    std::u16string_view SliceAt(const Segment& segment, std::uint32_t offset);
    std::uint32_t FitCount(const FontSpec& font, std::u16string_view slice);
    void PushLine(const LineBox& line);

    Layout& m_layout;
    const Flow& m_flow;
    const StyleTable& m_styles;
    TextMeasurer& m_measurer;
    int m_left = 0;
    int m_width = 0;
    int m_fitWidth = 0;  // what words must fit in: the box, or no limit
    TextAlign m_align = TextAlign::Inherit;
    bool m_wrap = true;

    int m_top = 0;
    int m_pendingMargin = 0;
    bool m_atBoxTop = false;
    TextPosition m_lineStart = 0;
    std::uint32_t m_lineFirstFragment = 0;
    int m_x = 0;
    int m_ascent = 0;
    int m_descent = 0;
    int m_trailingSpaceWidth = 0;

    std::vector<Segment> m_word;
    std::vector<int> m_widths;
    std::u16string m_scratch;
};

}  // namespace html
