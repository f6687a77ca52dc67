// Blocks in notices: lists, quotations, headings, rules, preformatted text,
// alignment and tables, checked through layout dumps with the fixed metrics
// (7 px a narrow character; body lines 12 px, table text 16 px as quirks mode
// resets it to medium). Margins are the default style sheet's: 1 em (11 px)
// for paragraphs and lists, 40 px indents, cells padded 1 px and spaced 2.
#include "tests/html/PaneTestSupport.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace html::testing {
namespace {

class BlockLayout : public PaneDocumentTest {};

TEST_F(BlockLayout, ListsIndentTheirItemsAndMarkThem) {
    EXPECT_TRUE(SameText(DumpOf(u"<ul><li>one<li>two<ul><li>in<li></ul></ul>"
                                u"<ol start=3 type=i><li>a<li value=10>b</ol>"),
                         u"line y=0 h=12 w=21\n"
                         u"  x=40 w=21 |one|\n"
                         u"line y=12 h=12 w=21\n"
                         u"  x=40 w=21 |two|\n"
                         u"line y=24 h=12 w=14\n"
                         u"  x=80 w=14 |in|\n"
                         u"line y=36 h=12 w=0\n"
                         u"line y=59 h=12 w=7\n"
                         u"  x=40 w=7 |a|\n"
                         u"line y=71 h=12 w=7\n"
                         u"  x=40 w=7 |b|\n"
                         u"marker x=30 y=6 w=3 h=3 [shape]\n"
                         u"marker x=30 y=18 w=3 h=3 [shape]\n"
                         u"marker x=70 y=30 w=3 h=3 [shape]\n"
                         u"marker x=70 y=42 w=3 h=3 [shape]\n"
                         u"marker x=5 y=59 w=28 h=12 |iii.|\n"
                         u"marker x=19 y=71 w=14 h=12 |x.|\n"));
}

// h1 is 2 em (21 px) with 0.67 em margins, h6 0.67 em with 2.33 em; the first
// margin of the body is dropped, as quirks mode does; a rule keeps half an em.
TEST_F(BlockLayout, QuotationsHeadingsAndRulesKeepTheirMargins) {
    EXPECT_TRUE(SameText(DumpOf(u"<blockquote>q</blockquote><h1>H</h1><h6>h</h6><hr align=left width=20 color=red>x"
                                u"<hr><center>c</center><p align=right>r</p>"),
                         u"line y=0 h=12 w=7\n"
                         u"  x=40 w=7 |q|\n"
                         u"line y=26 h=20 w=8\n"
                         u"  x=0 w=8 |H|\n"
                         u"line y=63 h=12 w=8\n"
                         u"  x=0 w=8 |h|\n"
                         u"line y=99 h=12 w=7\n"
                         u"  x=0 w=7 |x|\n"
                         u"line y=123 h=12 w=7\n"
                         u"  x=92 w=7 |c|\n"
                         u"line y=146 h=12 w=7\n"
                         u"  x=185 w=7 |r|\n"
                         u"box x=0 y=92 w=20 h=2 fill=255\n"
                         u"box x=0 y=116 w=192 h=2 border=1\n"));
}

TEST_F(BlockLayout, PreformattedTextKeepsItsSpacesAndRaisedTextGrowsTheLine) {
    EXPECT_TRUE(SameText(DumpOf(u"<pre>\na  b\n\tc</pre>x<sup>2</sup>y<sub>i</sub>"),
                         u"line y=0 h=12 w=28\n"
                         u"  x=0 w=28 |a~~b|\n"
                         u"line y=12 h=12 w=63\n"
                         u"  x=0 w=63 |~~~~~~~~c|\n"
                         u"line y=35 h=20 w=28\n"
                         u"  x=0 w=7 |x|\n"
                         u"  x=7 w=7 |2|\n"
                         u"  x=14 w=7 |y|\n"
                         u"  x=21 w=7 |i|\n"));
    document.SelectAll();
    EXPECT_EQ(document.SelectedText(), u"a  b\r\n        c\r\nx2yi");
}

// Columns as wide as their widest cell ("ccc", 21 px) plus the cell's frame
// (1 px border, 1 px padding each side); rows as tall as their cells.
TEST_F(BlockLayout, TablesTakeTheirColumnsFromTheirCells) {
    EXPECT_TRUE(SameText(DumpOf(u"<table border=1><tr><td>a</td><td>bb</td></tr>"
                                u"<tr><td>ccc</td><td>d</td></tr></table>x"
                                u"<div align=center><table border=1><tr><td>e</td></tr></table></div>"),
                         u"line y=5 h=16 w=7\n"
                         u"  x=5 w=7 |a|\n"
                         u"line y=5 h=16 w=14\n"
                         u"  x=32 w=14 |bb|\n"
                         u"line y=27 h=16 w=21\n"
                         u"  x=5 w=21 |ccc|\n"
                         u"line y=27 h=16 w=7\n"
                         u"  x=32 w=7 |d|\n"
                         u"line y=48 h=12 w=7\n"
                         u"  x=0 w=7 |x|\n"
                         u"line y=65 h=16 w=7\n"
                         u"  x=92 w=7 |e|\n"
                         u"box x=0 y=0 w=51 h=48 border=1\n"
                         u"box x=3 y=3 w=25 h=20 border=1\n"
                         u"box x=30 y=3 w=18 h=20 border=1\n"
                         u"box x=3 y=25 w=25 h=20 border=1\n"
                         u"box x=30 y=25 w=18 h=20 border=1\n"
                         u"box x=87 y=60 w=17 h=26 border=1\n"
                         u"box x=90 y=63 w=11 h=20 border=1\n"));
}

// The spanning cell's ten characters are shared by both columns; the four
// lines of the cell spanning two rows make both rows taller; "b" is centred
// in its row, "d" kept at the top.
TEST_F(BlockLayout, SpanningCellsShareTheirColumnsAndRows) {
    EXPECT_TRUE(SameText(DumpOf(u"<table cellspacing=0 cellpadding=0><tr><td colspan=2>aaaaaaaaaa</td></tr>"
                                u"<tr><td>b</td><td rowspan=2>c<br>c<br>c<br>c</td></tr>"
                                u"<tr><td valign=top>d</td></tr></table>"),
                         u"line y=0 h=16 w=70\n"
                         u"  x=0 w=70 |aaaaaaaaaa|\n"
                         u"line y=24 h=16 w=7\n"
                         u"  x=0 w=7 |b|\n"
                         u"line y=16 h=16 w=7\n"
                         u"  x=35 w=7 |c|\n"
                         u"line y=32 h=16 w=7\n"
                         u"  x=35 w=7 |c|\n"
                         u"line y=48 h=16 w=7\n"
                         u"  x=35 w=7 |c|\n"
                         u"line y=64 h=16 w=7\n"
                         u"  x=35 w=7 |c|\n"
                         u"line y=48 h=16 w=7\n"
                         u"  x=0 w=7 |d|\n"));
    document.SelectAll();
    EXPECT_EQ(document.SelectedText(), u"aaaaaaaaaa\r\nb\tc\r\nc\r\nc\r\nc\r\nd");
    EXPECT_EQ(document.ParagraphCount(), 7u);
}

// Heights of rows and cells are the least they take; the text is centred.
TEST_F(BlockLayout, RowAndCellHeightsAreMinimums) {
    EXPECT_TRUE(SameText(DumpOf(u"<table cellspacing=0 cellpadding=0><tr height=30><td>a</td></tr>"
                                u"<tr><td>b</td><td height=40>c</td></tr></table>"),
                         u"line y=7 h=16 w=7\n"
                         u"  x=0 w=7 |a|\n"
                         u"line y=42 h=16 w=7\n"
                         u"  x=0 w=7 |b|\n"
                         u"line y=42 h=16 w=7\n"
                         u"  x=7 w=7 |c|\n"));
}

// A nowrap cell keeps its words on one line and is as wide as they are,
// even where the table asks for less; its neighbour wraps instead.
TEST_F(BlockLayout, NowrapCellsKeepTheirLine) {
    EXPECT_TRUE(SameText(DumpOf(u"<table cellspacing=0 cellpadding=0 width=50><tr>"
                                u"<td nowrap>aa bb cc</td><td>dd ee</td></tr></table>"),
                         u"line y=8 h=16 w=56\n"
                         u"  x=0 w=56 |aa bb cc|\n"
                         u"line y=0 h=16 w=14\n"
                         u"  x=56 w=14 |dd|\n"
                         u"line y=16 h=16 w=14\n"
                         u"  x=56 w=14 |ee|\n"));
}

// A percentage of the pane, a pixel column, a nested table, a cell's colour;
// a caption widens its table to its widest word.
TEST_F(BlockLayout, TableWidthsNestingCaptionsAndColours) {
    EXPECT_TRUE(SameText(DumpOf(u"<table width=50% cellspacing=0><tr><td width=30>a</td><td>b</td></tr></table>"
                                u"<table width=100><tr><td><table border=1><tr><td>n</td></tr></table></td>"
                                u"<td bgcolor=yellow>m</td></tr></table>"
                                u"<table><caption>cap</caption><tr><th>h</th></tr></table>"),
                         u"line y=1 h=16 w=7\n"
                         u"  x=1 w=7 |a|\n"
                         u"line y=1 h=16 w=7\n"
                         u"  x=31 w=7 |b|\n"
                         u"line y=26 h=16 w=7\n"
                         u"  x=8 w=7 |n|\n"
                         u"line y=26 h=16 w=7\n"
                         u"  x=68 w=7 |m|\n"
                         u"line y=50 h=16 w=21\n"
                         u"  x=0 w=21 |cap|\n"
                         u"line y=69 h=16 w=8\n"
                         u"  x=6 w=8 |h|\n"
                         u"box x=3 y=21 w=17 h=26 border=1\n"
                         u"box x=6 y=24 w=11 h=20 border=1\n"
                         u"box x=67 y=20 w=31 h=28 fill=65535\n"));
}

// A notice as the chat window formats it, its line feeds made "<br>&nbsp":
// those between the table's rows are moved before the table, as browsers
// move them; the cells' text does not take the notice's bold and colour
// (quirks mode). A screen reader reads the title, each cell and each item.
TEST_F(BlockLayout, ANoticeLaysOutItsTableAsABrowserDoes) {
    document.AppendHtml(
        u"<br>&nbsp<Font color=394D84><b>규칙<br>&nbsp<table border=1><br>&nbsp"
        u"<tr><td>하나<td>둘</tr><br>&nbsp</table><ul><li>셋</ul></b></Font><br><br>");
    document.SelectAll();
    EXPECT_EQ(document.SelectedText(), u"\r\n 규칙\r\n \r\n \r\n \r\n하나\t둘\r\n셋\r\n\r\n\r\n");
    std::u16string paragraphs;
    for (std::size_t index = 0; index < document.ParagraphCount(); ++index) {
        paragraphs += document.PlainText(document.Paragraph(index)) + u'|';
    }
    EXPECT_EQ(paragraphs, u" 규칙| | | |하나|둘|셋|");
    document.ClearSelection();
    RecordingSurface surface;
    document.Paint(surface, Rect{0, 0, 200, 200});
    int checked = 0;
    for (const std::u16string& call : surface.CallsStartingWith(u"text ")) {
        if (call.find(u"하나") != std::u16string::npos && ++checked) EXPECT_TRUE(call.ends_with(u"| #000000"));
        if (call.find(u"셋") != std::u16string::npos && ++checked) EXPECT_TRUE(call.ends_with(u"| #394D84 bold"));
    }
    EXPECT_EQ(checked, 2);
}

// The style attribute reaches text (colour, weight, size, background) and
// blocks (alignment, background).
TEST_F(BlockLayout, StyleAttributesReachTextAndBoxes) {
    document.AppendHtml(
        u"<div style=\"text-align:center; background-color:#00FF00\">c</div>"
        u"<span style=\"color:red;font-weight:bold;background-color:yellow;font-size:22px\">s</span>");
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=12 w=7\n"
                         u"  x=92 w=7 |c|\n"
                         u"line y=12 h=21 w=8\n"
                         u"  x=0 w=8 |s|\n"
                         u"box x=0 y=0 w=192 h=12 fill=65280\n"));
    RecordingSurface surface;
    document.Paint(surface, Rect{0, 0, 200, 100});
    EXPECT_EQ(surface.CallsStartingWith(u"fill 0,12,8,33 #FFFF00").size(), 1u);
    EXPECT_EQ(surface.CallsStartingWith(u"text 0,28 |s| #FF0000 bold").size(), 1u);
}

// Cells stand side by side: the point finds the cell whose box holds it,
// its link and its characters; selecting across cells copies tabs.
TEST_F(BlockLayout, PointsFindTheCellUnderThem) {
    document.AppendHtml(u"<table border=1><tr><td>a</td><td><a href=\"x\">link</a></td></tr></table>");
    // Positions: table, row and cell starts 0-2, "a" 3, cell end 4, cell
    // start 5, "link" 6-9. The second cell's text starts at x 18.
    EXPECT_EQ(document.LinkAt(20, 10), u"x");
    EXPECT_EQ(document.LinkAt(6, 10), u"");
    EXPECT_EQ(document.PositionAt(40, 20), 9u);
    EXPECT_EQ(document.PositionAt(19, 6), 6u);
    EXPECT_EQ(document.PositionAt(17, 6), 6u);  // in the second cell's padding
    EXPECT_EQ(document.CharacterAt(6, 10), std::optional<TextPosition>(3));
    document.SetSelection(document.PositionAt(5, 10), document.PositionAt(33, 10));
    EXPECT_EQ(document.SelectedText(), u"a\tli");
}

// An image in a cell changes the table's columns and rows: the table is laid
// out again from its start and what follows moves; what precedes stays.
TEST_F(BlockLayout, AnImageInACellLaysTheTableOutAgain) {
    document.AppendHtml(u"before<br>");
    document.AppendHtml(u"<table cellspacing=0 cellpadding=0><tr><td><img src=a.png></td><td>b</td></tr></table>");
    document.AppendHtml(u"after<br>");
    const std::vector<ImageRequest> requests = document.TakeImageRequests();
    ASSERT_EQ(requests.size(), 1u);
    const std::u16string placeholder = document.DumpLayout();
    EXPECT_NE(placeholder.find(u"line y=12 h=20 w=20\n  x=0 w=20 [img]\n"), std::u16string::npos);
    EXPECT_NE(placeholder.find(u"  x=20 w=7 |b|\nline y=32 h=12"), std::u16string::npos);
    document.OnImageLoaded(requests[0].id, 100, 40);
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=12 w=42\n"
                         u"  x=0 w=42 |before|\n"
                         u"line y=12 h=40 w=100\n"
                         u"  x=0 w=100 [img]\n"
                         u"line y=24 h=16 w=7\n"
                         u"  x=100 w=7 |b|\n"
                         u"line y=52 h=12 w=35\n"
                         u"  x=0 w=35 |after|\n"));
}

// Decorations are painted under the text and, like lines, only where the
// dirty rectangle meets them: a table scrolled out of view costs nothing.
TEST_F(BlockLayout, PaintingDrawsOnlyTheVisibleBoxesUnderTheText) {
    SetContentWidth(192, 40);
    document.AppendHtml(u"<table border=1 bgcolor=red><tr><td>a</td></tr></table>");
    for (int i = 0; i < 20; ++i) {
        document.AppendHtml(u"line<br>");
    }
    document.AppendHtml(u"<ul><li>x</ul>");
    RecordingSurface top;
    document.Paint(top, Rect{0, 0, 200, 40});
    EXPECT_EQ(top.CallsStartingWith(u"fill 0,0,17,26 #FF0000").size(), 1u);
    EXPECT_TRUE(top.CallsStartingWith(u"text 30,").empty());
    document.SetScrollTop(document.ScrollHeight());
    RecordingSurface bottom;
    document.Paint(bottom, Rect{0, 0, 200, 40});
    EXPECT_TRUE(bottom.CallsStartingWith(u"fill 0,").size() <= 2u);  // the background, the bullet's rows only
    EXPECT_FALSE(bottom.CallsStartingWith(u"fill 30,").empty());     // the bullet
    const auto& calls = bottom.calls;
    const auto bullet =
        std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.starts_with(u"fill 30,"); });
    const auto text =
        std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.starts_with(u"text 40,"); });
    EXPECT_LT(bullet, text);
}

// Everything blocks add is in CSS pixels and follows the display scale (the
// fixed metrics keep 7 px a character at any size).
TEST_F(BlockLayout, BlocksFollowTheDisplayScale) {
    document.SetScale(CssScale(DpiScale(192), 100));
    EXPECT_TRUE(SameText(DumpOf(u"<ul><li>a</ul><table border=1><tr><td>b</td></tr></table>"),
                         u"line y=0 h=20 w=7\n"
                         u"  x=80 w=7 |a|\n"
                         u"line y=51 h=32 w=7\n"
                         u"  x=10 w=7 |b|\n"
                         u"marker x=66 y=8 w=7 h=7 [shape]\n"
                         u"box x=0 y=41 w=27 h=52 border=2\n"
                         u"box x=6 y=47 w=15 h=40 border=2\n"));
}

}  // namespace
}  // namespace html::testing
