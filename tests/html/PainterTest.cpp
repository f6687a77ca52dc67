// Painting through the drawing interface: what is drawn, where, in which
// colours, and that only the visible lines are visited.
#include "tests/html/PaneTestSupport.h"

#include <string>
#include <vector>

namespace html::testing {
namespace {

using Calls = std::vector<std::u16string>;

class Painting : public PaneDocumentTest {
protected:
    Calls Paint(const Rect& dirty) {
        surface.calls.clear();
        document.Paint(surface, dirty);
        return surface.calls;
    }

    Calls PaintedText(const Rect& dirty = Rect{0, 0, 200, 100}) {
        Paint(dirty);
        return surface.CallsStartingWith(u"text");
    }

    RecordingSurface surface;
};

TEST_F(Painting, ClipsToTheDirtyRectAndFillsTheBackground) {
    document.AppendHtml(u"hi");
    const Calls calls = Paint(Rect{0, 0, 200, 100});
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0], u"clip 0,0,200,100");
    EXPECT_EQ(calls[1], u"fill 0,0,200,100 #FFFFFF");
    EXPECT_EQ(calls[2], u"text 0,9 |hi| #000000");
    EXPECT_EQ(calls[3], u"unclip");
}

TEST_F(Painting, VisitsOnlyTheLinesInView) {
    for (int n = 0; n < 30; ++n) {
        document.AppendHtml(u"line " + RecordingSurface::Number(n) + u"<br>");
    }
    document.SetScrollTop(document.ScrollHeight() - document.ClientHeight());  // 260
    const Calls text = PaintedText();
    ASSERT_EQ(text.size(), 9u);  // lines 21..29: 252..264 to 348..360
    EXPECT_EQ(text.front(), u"text 0,1 |line 21| #000000");
    EXPECT_EQ(text.back(), u"text 0,97 |line 29| #000000");
    EXPECT_EQ(PaintedText(Rect{0, 39, 200, 50}),
              (Calls{u"text 0,37 |line 24| #000000", u"text 0,49 |line 25| #000000"}));
}

TEST_F(Painting, SelectionIsDrawnAsItsOwnPieceOverTheHighlight) {
    document.AppendHtml(u"abcdef<br>gh");
    document.SetSelection(2, 4);
    const Calls calls = Paint(Rect{0, 0, 200, 100});
    EXPECT_EQ(Calls(calls.begin() + 2, calls.begin() + 7),
              (Calls{u"fill 14,0,28,12 #0A246A", u"text 0,9 |ab| #000000", u"text 14,9 |cd| #FFFFFF",
                     u"text 28,9 |ef| #000000", u"text 0,21 |gh| #000000"}));
    document.SetSelectionColors(SelectionColors{Rgb(1, 2, 3), Rgb(4, 5, 6)});
    document.SetSelection(5, 8);  // "f", the break, "g"
    EXPECT_EQ(surface.CallsStartingWith(u"fill 35").size(), 0u);
    Paint(Rect{0, 0, 200, 100});
    EXPECT_EQ(surface.CallsStartingWith(u"fill 35,0,42,12 #010203").size(), 1u);
    EXPECT_EQ(surface.CallsStartingWith(u"text 35,9 |f| #040506").size(), 1u);
    EXPECT_EQ(surface.CallsStartingWith(u"text 0,21 |g| #040506").size(), 1u);
}

TEST_F(Painting, ChatColoursAndFontsFromTheFormats) {
    document.AppendHtml(u"&nbsp<Font color='blue'><B>nick</B></Font><Font color='purple'>(id)</font>: hi<br>");
    document.AppendHtml(u"<br>&nbsp<Font color=394D84><b>notice</b></Font><br><br>");
    EXPECT_EQ(PaintedText(),
              (Calls{u"text 0,9 |\u00A0| #000000", u"text 7,9 |nick| #0000FF bold", u"text 39,9 |(id)| #800080",
                     u"text 67,9 |: hi| #000000", u"text 0,33 |\u00A0| #000000", u"text 7,33 |notice| #394D84 bold"}));
}

TEST_F(Painting, LinksAreBlueAndUnderlinedUnlessAFontInsideSaysOtherwise) {
    document.AppendHtml(
        u"<a href=x>a</a><a href=x><font color=red>b</font></a><font color=green><a href=x>c</a></font>");
    EXPECT_EQ(PaintedText(), (Calls{u"text 0,9 |a| #0000FF underline", u"text 7,9 |b| #FF0000 underline",
                                    u"text 14,9 |c| #0000FF underline"}));
}

TEST_F(Painting, ImagesDrawWhenLoadedAndPlaceholdersUntilThen) {
    document.AppendHtml(u"<img src=a width=10 height=10><img src=b width=10 height=10>");
    document.OnImageLoaded(1, 10, 10);
    const Calls calls = Paint(Rect{0, 0, 200, 100});
    EXPECT_EQ(Calls(calls.begin() + 2, calls.end() - 1),
              (Calls{u"fill 0,0,10,10 #F0F0F0", u"fill 0,0,10,1 #808080", u"fill 0,9,10,10 #808080",
                     u"fill 0,0,1,10 #808080", u"fill 9,0,10,10 #808080", u"image 1 10,0,20,10"}));
}

TEST_F(Painting, EmbedShowsALabelInsideItsBoxOnly) {
    document.AppendHtml(u"<embed src=x.swf width=50 height=20>");
    Paint(Rect{0, 0, 200, 100});
    EXPECT_EQ(surface.CallsStartingWith(u"clip 0,0,50,20").size(), 1u);
    EXPECT_EQ(surface.CallsStartingWith(u"text 3,13 |embed| #404040").size(), 1u);
}

TEST_F(Painting, EmptyDirtyRectDrawsNothing) {
    document.AppendHtml(u"hi");
    EXPECT_TRUE(Paint(Rect{10, 10, 10, 50}).empty());
}

}  // namespace
}  // namespace html::testing
