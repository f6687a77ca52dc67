// Blocks in notices: lists, quotations, headings, rules, preformatted text,
// alignment and tables, checked through layout dumps with the fixed metrics
// (7 px a narrow character; body lines 12 px, table text 16 px as quirks mode
// resets it to medium). Margins are the default style sheet's: 1 em (11 px)
// for paragraphs and lists, 40 px indents, cells padded 1 px and spaced 2.
#include "tests/html/PaneTestSupport.h"

#include <string>

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

}  // namespace
}  // namespace html::testing
