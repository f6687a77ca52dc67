// Line breaking and line boxes, checked through layout dumps with the
// fixed metrics (7 px per narrow character, 12 px per wide one, lines of 12).
#include "tests/html/PaneTestSupport.h"

#include <string>

namespace html::testing {
namespace {

class Layout : public PaneDocumentTest {};

TEST_F(Layout, WrapsAtSpacesAndDropsTheSpaceAtTheWrap) {
    SetContentWidth(56);  // 8 narrow characters
    EXPECT_TRUE(SameText(DumpOf(u"aaa bbb ccc"),
                         u"line y=0 h=12 w=49\n"
                         u"  x=0 w=49 |aaa bbb|\n"
                         u"line y=12 h=12 w=21\n"
                         u"  x=0 w=21 |ccc|\n"));
}

TEST_F(Layout, WordThatExactlyFillsTheLineStaysOnIt) {
    SetContentWidth(56);
    EXPECT_TRUE(SameText(DumpOf(u"aaa bbbb c"),
                         u"line y=0 h=12 w=56\n"
                         u"  x=0 w=56 |aaa bbbb|\n"
                         u"line y=12 h=12 w=7\n"
                         u"  x=0 w=7 |c|\n"));
}

TEST_F(Layout, CollapsesWhiteSpaceAcrossElementsAndTrimsLineEnds) {
    EXPECT_TRUE(SameText(DumpOf(u"  a \n\t b <i> </i> <u>c</u>  "),
                         u"line y=0 h=12 w=35\n"
                         u"  x=0 w=28 |a b |\n"
                         u"  x=28 w=7 |c|\n"));
}

TEST_F(Layout, NonBreakingSpacesAreKeptAndDoNotBreak) {
    SetContentWidth(56);
    EXPECT_TRUE(SameText(DumpOf(u"&nbsp;&nbsp;a bbbb&nbsp;cc"),
                         u"line y=0 h=12 w=21\n"
                         u"  x=0 w=21 |~~a|\n"
                         u"line y=12 h=12 w=49\n"
                         u"  x=0 w=49 |bbbb~cc|\n"));
}

TEST_F(Layout, BreakElementsEndLinesAndConsecutiveOnesLeaveEmptyLines) {
    EXPECT_TRUE(SameText(DumpOf(u"a<br>b<br><br>c<br>"),
                         u"line y=0 h=12 w=7\n"
                         u"  x=0 w=7 |a|\n"
                         u"line y=12 h=12 w=7\n"
                         u"  x=0 w=7 |b|\n"
                         u"line y=24 h=12 w=0\n"
                         u"line y=36 h=12 w=7\n"
                         u"  x=0 w=7 |c|\n"));
}

TEST_F(Layout, SpaceAroundBreaksIsDropped) {
    EXPECT_TRUE(SameText(DumpOf(u"a <br> b"),
                         u"line y=0 h=12 w=7\n"
                         u"  x=0 w=7 |a|\n"
                         u"line y=12 h=12 w=7\n"
                         u"  x=0 w=7 |b|\n"));
}

// Paragraphs keep an em (11 px) above and below, collapsed with each other;
// in quirks mode the body's first paragraph loses its top margin.
TEST_F(Layout, BlocksStartAndEndLinesWithoutAddingEmptyOnes) {
    EXPECT_TRUE(SameText(DumpOf(u"<div></div><p></p>a<div>b</div>c<p>d</p><p>e</p>"),
                         u"line y=0 h=12 w=7\n"
                         u"  x=0 w=7 |a|\n"
                         u"line y=12 h=12 w=7\n"
                         u"  x=0 w=7 |b|\n"
                         u"line y=24 h=12 w=7\n"
                         u"  x=0 w=7 |c|\n"
                         u"line y=47 h=12 w=7\n"
                         u"  x=0 w=7 |d|\n"
                         u"line y=70 h=12 w=7\n"
                         u"  x=0 w=7 |e|\n"));
}

TEST_F(Layout, WordLongerThanTheLineIsBrokenWhereItStopsFitting) {
    SetContentWidth(56);
    EXPECT_TRUE(SameText(DumpOf(u"ab cdefghijklmnopqrst"),
                         u"line y=0 h=12 w=14\n"
                         u"  x=0 w=14 |ab|\n"
                         u"line y=12 h=12 w=56\n"
                         u"  x=0 w=56 |cdefghij|\n"
                         u"line y=24 h=12 w=56\n"
                         u"  x=0 w=56 |klmnopqr|\n"
                         u"line y=36 h=12 w=14\n"
                         u"  x=0 w=14 |st|\n"));
}

TEST_F(Layout, BrokenWordNeverSplitsASurrogatePair) {
    SetContentWidth(30);  // two 12 px pairs fit, with 6 px to spare
    const std::u16string smiles = u"\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600";
    EXPECT_TRUE(SameText(DumpOf(smiles),
                         u"line y=0 h=12 w=24\n"
                         u"  x=0 w=24 |\U0001F600\U0001F600|\n"
                         u"line y=12 h=12 w=24\n"
                         u"  x=0 w=24 |\U0001F600\U0001F600|\n"
                         u"line y=24 h=12 w=12\n"
                         u"  x=0 w=12 |\U0001F600|\n"));
}

TEST_F(Layout, LineNarrowerThanOneCharacterStillTakesOneEach) {
    SetContentWidth(0);
    EXPECT_TRUE(SameText(DumpOf(u"ab \U0001F600"),
                         u"line y=0 h=12 w=7\n"
                         u"  x=0 w=7 |a|\n"
                         u"line y=12 h=12 w=7\n"
                         u"  x=0 w=7 |b|\n"
                         u"line y=24 h=12 w=12\n"
                         u"  x=0 w=12 |\U0001F600|\n"));
}

TEST_F(Layout, HangulIsMeasuredWide) {
    SetContentWidth(60);
    EXPECT_TRUE(SameText(DumpOf(u"가나다 라마"),
                         u"line y=0 h=12 w=36\n"
                         u"  x=0 w=36 |가나다|\n"
                         u"line y=12 h=12 w=24\n"
                         u"  x=0 w=24 |라마|\n"));
}

TEST_F(Layout, WordAcrossStylesWrapsAsOne) {
    SetContentWidth(56);
    // "bb" (bold, 8 px each) and "ccc" form one word that does not fit after "aaaa ".
    EXPECT_TRUE(SameText(DumpOf(u"aaaa <b>bb</b>ccc"),
                         u"line y=0 h=12 w=28\n"
                         u"  x=0 w=28 |aaaa|\n"
                         u"line y=12 h=12 w=37\n"
                         u"  x=0 w=16 |bb|\n"
                         u"  x=16 w=21 |ccc|\n"));
}

TEST_F(Layout, LargerFontRaisesTheLineAndAlignsBaselines) {
    // size=7 is 48 px: ascent 36, descent 12.
    EXPECT_TRUE(SameText(DumpOf(u"a<font size=7>B</font><br>c"),
                         u"line y=0 h=48 w=14\n"
                         u"  x=0 w=7 |a|\n"
                         u"  x=7 w=7 |B|\n"
                         u"line y=48 h=12 w=7\n"
                         u"  x=0 w=7 |c|\n"));
}

TEST_F(Layout, DefaultBodyMarginsApplyWithoutTemplateAttributes) {
    document.Load(u"<body>x</body>");
    document.SetViewport(100, 50, metrics);
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=8 h=12 w=7\n"
                         u"  x=8 w=7 |x|\n"));
    EXPECT_EQ(document.ScrollHeight(), 8 + 12 + 8);
}

TEST_F(Layout, BodyMarginAttributesMoveTheContent) {
    document.Load(u"<body topmargin=3 leftmargin=5 rightmargin=1 bottommargin=2>aa bb</body>");
    document.SetViewport(5 + 14 + 1, 50, metrics);
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=3 h=12 w=14\n"
                         u"  x=5 w=14 |aa|\n"
                         u"line y=15 h=12 w=14\n"
                         u"  x=5 w=14 |bb|\n"));
    EXPECT_EQ(document.ScrollHeight(), 3 + 24 + 2);
}

TEST_F(Layout, ImagesAreAtomicAndWrapLikeWords) {
    SetContentWidth(56);
    EXPECT_TRUE(SameText(DumpOf(u"aaaa<img src=x.png width=30 height=15>b <embed src=x.swf>"),
                         u"line y=0 h=12 w=28\n"
                         u"  x=0 w=28 |aaaa|\n"
                         u"line y=12 h=18 w=37\n"
                         u"  x=0 w=30 [img]\n"
                         u"  x=30 w=7 |b|\n"
                         u"line y=30 h=20 w=64\n"
                         u"  x=0 w=64 [embed]\n"));
}

TEST_F(Layout, ScriptAndStyleContentIsNeverShownButUnknownElementsKeepText) {
    EXPECT_TRUE(SameText(DumpOf(u"a<script>alert(1)</script><style>b{}</style><blink>b</blink><title>t</title>c"),
                         u"line y=0 h=12 w=21\n"
                         u"  x=0 w=21 |abc|\n"));
}

TEST_F(Layout, NewWidthLaysOutEverythingAgain) {
    document.AppendHtml(u"aaa bbb ccc");
    SetContentWidth(56);
    const std::u16string narrow = document.DumpLayout();
    SetContentWidth(192);
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=12 w=77\n"
                         u"  x=0 w=77 |aaa bbb ccc|\n"));
    SetContentWidth(56);
    EXPECT_TRUE(SameText(document.DumpLayout(), narrow));
}

}  // namespace
}  // namespace html::testing
