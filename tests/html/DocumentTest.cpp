// The document as the pane uses it: the template, appending, scrolling,
// hit testing, selection and images.
#include "tests/html/PaneTestSupport.h"

#include <string>
#include <vector>

namespace html::testing {
namespace {

// The two fragment formats the chat view appends.
std::u16string ChatLine(int n) {
    const std::u16string number = RecordingSurface::Number(n);
    return u"&nbsp<Font color='blue'><B>nick" + number + u"</B></Font><Font color='purple'>(someid" + number +
           u")</font>: 안녕하세요 message number " + number + u" with some words to wrap 한글도 섞어서<br>";
}

std::u16string Notice(int n) {
    return u"<br>&nbsp<Font color=394D84><b>notice " + RecordingSurface::Number(n) + u"</b></Font><br><br>";
}

class Appending : public PaneDocumentTest {};

TEST_F(Appending, ContinuesTheLastLineUnlessItEndedInABreak) {
    document.AppendHtml(u"aaa");
    document.AppendHtml(u" bbb");
    document.AppendHtml(u"ccc<br>");
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=12 w=70\n"
                         u"  x=0 w=70 |aaa bbbccc|\n"));
    document.AppendHtml(u"ddd");
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=12 w=70\n"
                         u"  x=0 w=70 |aaa bbbccc|\n"
                         u"line y=12 h=12 w=21\n"
                         u"  x=0 w=21 |ddd|\n"));
}

TEST_F(Appending, OneAtATimeLaysOutLikeAllAtOnce) {
    SetContentWidth(150);
    Document whole;
    whole.Load(kPaneTemplate);
    whole.SetViewport(150 + kRightMargin, 100, metrics);
    std::u16string all;
    for (int n = 0; n < 40; ++n) {
        const std::u16string fragment = n % 10 == 9 ? Notice(n) : ChatLine(n);
        document.AppendHtml(fragment);
        // Query between appends so that each one is laid out on its own.
        document.ScrollHeight();
        all += fragment;
    }
    // Fragments that end mid-word, and a space split across appends.
    for (const std::u16string_view piece : {u"tail", u"ed wo", u"rd", u" ", u" split", u"<b>bold</b>"}) {
        document.AppendHtml(piece);
        document.ScrollHeight();
        all += piece;
    }
    whole.AppendHtml(all);
    EXPECT_TRUE(SameText(document.DumpLayout(), whole.DumpLayout()));
}

TEST_F(Appending, LaysOutOnlyFromTheLastLine) {
    for (int n = 0; n < 2000; ++n) {
        document.AppendHtml(ChatLine(n));
    }
    document.ScrollHeight();
    metrics.textWidthCalls = 0;
    document.AppendHtml(ChatLine(2000));
    document.ScrollHeight();
    const long long oneLine = metrics.textWidthCalls;
    EXPECT_GT(oneLine, 0);
    EXPECT_LT(oneLine, 40);
}

TEST_F(Appending, ChatLineFormatLooksAsItShould) {
    SetContentWidth(400);
    EXPECT_TRUE(SameText(DumpOf(u"&nbsp<Font color='blue'><B>nick</B></Font><Font color='purple'>(someid12)</font>: "
                                u"hi 안녕<br>"),
                         u"line y=0 h=12 w=168\n"
                         u"  x=0 w=7 |~|\n"
                         u"  x=7 w=32 |nick|\n"
                         u"  x=39 w=70 |(someid12)|\n"
                         u"  x=109 w=59 |: hi 안녕|\n"));
}

// A reader's paragraphs: asked for first, then extended by later appends,
// the open last line closing when its break arrives.
TEST_F(Appending, ParagraphsGrowWithTheConversationAndSkipEmptyLines) {
    document.AppendHtml(Notice(1));
    document.AppendHtml(u"첫 <a href='http://a/'>링크</a>");
    ASSERT_EQ(document.ParagraphCount(), 2u);
    EXPECT_EQ(document.PlainText(document.Paragraph(1)), u"첫 링크");

    document.AppendHtml(u" 이어서<br><br><img alt='웃음' src='x.png'>끝");
    ASSERT_EQ(document.ParagraphCount(), 3u);
    EXPECT_EQ(document.PlainText(document.Paragraph(0)), u" notice 1");
    EXPECT_EQ(document.PlainText(document.Paragraph(1)), u"첫 링크 이어서");
    EXPECT_EQ(document.PlainText(document.Paragraph(2)), u"끝");

    const std::vector<InlineItem> items = document.InlineItems(document.Paragraph(1));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, u"링크");
    EXPECT_EQ(items[0].url, u"http://a/");
    EXPECT_EQ(document.InlineItems(document.Paragraph(2))[0].text, u"웃음");

    const ParagraphSpan all = document.ParagraphsIn({0, document.EndPosition()});
    EXPECT_EQ(all.first, 0u);
    EXPECT_EQ(all.last, 3u);
    // A break alone is in no paragraph.
    const TextPosition afterFirst = document.Paragraph(1).end;
    EXPECT_TRUE(document.ParagraphsIn({afterFirst, afterFirst + 1}).IsEmpty());

    const Rect second = document.Bounds(document.Paragraph(1));
    EXPECT_EQ(second.top, 3 * kLine);  // the notice has a blank line before and after it
    EXPECT_EQ(second.Height(), kLine);
    document.Load(kPaneTemplate);
    EXPECT_EQ(document.ParagraphCount(), 0u);
}

class Scrolling : public PaneDocumentTest {};

TEST_F(Scrolling, HeightGrowsWithContentAndScrollTopIsClamped) {
    EXPECT_EQ(document.ScrollHeight(), 0);
    EXPECT_EQ(document.ClientHeight(), 100);
    for (int n = 0; n < 20; ++n) {
        document.AppendHtml(u"line<br>");
    }
    EXPECT_EQ(document.ScrollHeight(), 20 * kLine);
    document.SetScrollTop(1000);
    EXPECT_EQ(document.ScrollTop(), 20 * kLine - 100);
    document.SetScrollTop(-5);
    EXPECT_EQ(document.ScrollTop(), 0);
}

TEST_F(Scrolling, ShorterContentNeverScrolls) {
    document.AppendHtml(u"one<br>two");
    document.SetScrollTop(50);
    EXPECT_EQ(document.ScrollTop(), 0);
}

TEST_F(Scrolling, WiderPaneShortensTheDocumentAndPullsScrollTopBack) {
    SetContentWidth(14);
    document.AppendHtml(u"aa bb cc dd ee ff gg hh ii jj kk ll");
    EXPECT_EQ(document.ScrollHeight(), 12 * kLine);
    document.SetScrollTop(1000);
    SetContentWidth(1000);
    EXPECT_EQ(document.ScrollHeight(), kLine);
    EXPECT_EQ(document.ScrollTop(), 0);
}

class HitTesting : public PaneDocumentTest {};

TEST_F(HitTesting, PositionSnapsToTheNearerCharacterEdge) {
    document.AppendHtml(u"abc<br>de");
    EXPECT_EQ(document.PositionAt(10, 5), 1u);  // 3 px into 'b' (7..14): its left edge is nearer
    EXPECT_EQ(document.PositionAt(11, 5), 2u);
    EXPECT_EQ(document.PositionAt(-3, 5), 0u);
    EXPECT_EQ(document.PositionAt(500, 5), 3u);  // end of the first line, before its break
    EXPECT_EQ(document.PositionAt(8, 13), 5u);   // 'e' on the second line
    EXPECT_EQ(document.PositionAt(0, -20), 0u);
    EXPECT_EQ(document.PositionAt(0, 500), document.EndPosition());
}

TEST_F(HitTesting, AccountsForScrollTop) {
    for (int n = 0; n < 20; ++n) {
        document.AppendHtml(u"xy<br>");
    }
    document.SetScrollTop(3 * kLine);
    EXPECT_EQ(document.PositionAt(14, 1), 3u * 3 + 2);
}

TEST_F(HitTesting, LinksAreFoundUnderThePointOnly) {
    document.AppendHtml(u"go <a href=\" http://example.com/a?b \">there</a> now <a>plain</a>");
    EXPECT_EQ(document.LinkAt(3 * 7 + 1, 5), u"http://example.com/a?b");
    EXPECT_EQ(document.LinkAt(8 * 7 - 1, 5), u"http://example.com/a?b");
    EXPECT_EQ(document.LinkAt(8 * 7 + 1, 5), u"");
    EXPECT_EQ(document.LinkAt(14 * 7 + 1, 5), u"");
    EXPECT_EQ(document.LinkAt(3 * 7 + 1, 20), u"");
    EXPECT_TRUE(document.IsOverText(1, 5));
    EXPECT_FALSE(document.IsOverText(1, 20));
    EXPECT_FALSE(document.IsOverText(180, 5));
}

TEST_F(HitTesting, ImageInsideALinkIsALink) {
    document.AppendHtml(u"<a href=http://x/><img src=http://x/i.png width=30 height=30></a>");
    EXPECT_EQ(document.LinkAt(15, 15), u"http://x/");
}

class Selecting : public PaneDocumentTest {};

TEST_F(Selecting, SelectedTextKeepsBreaksAsCrLfAndNbspAsSpace) {
    document.AppendHtml(u"&nbsp;a  b<br>c<div>d</div><img src=x>e");
    document.SelectAll();
    EXPECT_TRUE(document.HasSelection());
    EXPECT_EQ(document.SelectedText(), u" a b\r\nc\r\nd\r\ne");
}

TEST_F(Selecting, EitherDirectionAndClampedToTheEnd) {
    document.AppendHtml(u"hello world");
    document.SetSelection(9, 2);
    EXPECT_EQ(document.SelectedText(), u"llo wor");
    document.SetSelection(6, 1000);
    EXPECT_EQ(document.SelectedText(), u"world");
    document.ClearSelection();
    EXPECT_FALSE(document.HasSelection());
    EXPECT_EQ(document.SelectedText(), u"");
}

TEST_F(Selecting, MouseRangeGivesTheTextBetween) {
    document.AppendHtml(u"first line<br>second line");
    document.SetSelection(document.PositionAt(6 * 7 + 1, 5), document.PositionAt(6 * 7 + 1, kLine + 5));
    EXPECT_EQ(document.SelectedText(), u"line\r\nsecond");
}

TEST_F(Selecting, WordsAreLettersAndHangulOrRunsOfPunctuation) {
    document.AppendHtml(u"<b>kim</b>_01(nick): 안녕하세요, world&nbsp;x<br>y");
    const auto word = [&](TextPosition at) {
        const TextRange range = document.WordAround(at);
        document.SetSelection(range.start, range.end);
        return document.SelectedText();
    };
    // Across the bold run's end: styles do not split a word.
    EXPECT_EQ(word(0), u"kim_01");
    EXPECT_EQ(word(4), u"kim_01");
    EXPECT_EQ(word(6), u"(");
    EXPECT_EQ(word(11), u"):");
    EXPECT_EQ(word(14), u"안녕하세요");
    EXPECT_EQ(word(18), u"안녕하세요");
    EXPECT_EQ(word(19), u",");
    // Spaces, non-breaking spaces, breaks and the end are not words.
    EXPECT_TRUE(document.WordAround(13).IsEmpty());
    EXPECT_TRUE(document.WordAround(26).IsEmpty());
    EXPECT_EQ(word(27), u"x");
    EXPECT_TRUE(document.WordAround(28).IsEmpty());
    EXPECT_EQ(word(29), u"y");
    EXPECT_TRUE(document.WordAround(30).IsEmpty());
    EXPECT_EQ(document.WordAround(1000).start, document.EndPosition());
}

TEST_F(Selecting, WordAtTakesTheCharacterUnderThePointNotTheNearerEdge) {
    document.AppendHtml(u"ab) cd");
    // The right half of 'b' is nearer the edge before ')', yet 'b' is hit.
    EXPECT_EQ(document.WordAt(2 * 7 - 1, 5).start, 0u);
    EXPECT_EQ(document.WordAt(2 * 7 - 1, 5).end, 2u);
    EXPECT_EQ(document.WordAt(2 * 7 + 1, 5).start, 2u);
    // Below the text: no word, a caret at the end.
    const TextRange below = document.WordAt(3, 90);
    EXPECT_TRUE(below.IsEmpty());
    EXPECT_EQ(below.start, document.EndPosition());
}

class Images : public PaneDocumentTest {};

TEST_F(Images, RequestsAreHandedOutOnceWithTheirUrls) {
    document.AppendHtml(u"<img src=' http://x/a.png '><img><embed src=http://x/e><img src=file:///c:/x.png>");
    const std::vector<ImageRequest> requests = document.TakeImageRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].id, 0);
    EXPECT_EQ(requests[0].url, u"http://x/a.png");
    EXPECT_EQ(requests[1].id, 3);
    EXPECT_EQ(requests[1].url, u"file:///c:/x.png");  // the host decides what it loads
    EXPECT_TRUE(document.TakeImageRequests().empty());
}

TEST_F(Images, LoadedSizeReplacesThePlaceholderFromItsLineOn) {
    document.AppendHtml(u"a<br>b<img src=i>c<br>d");
    EXPECT_EQ(document.ScrollHeight(), kLine + (20 + 3) + kLine);
    document.OnImageLoaded(0, 40, 50);
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=12 w=7\n"
                         u"  x=0 w=7 |a|\n"
                         u"line y=12 h=53 w=54\n"
                         u"  x=0 w=7 |b|\n"
                         u"  x=7 w=40 [img]\n"
                         u"  x=47 w=7 |c|\n"
                         u"line y=65 h=12 w=7\n"
                         u"  x=0 w=7 |d|\n"));
}

TEST_F(Images, AttributesWinAndOneAttributeKeepsTheAspectRatio) {
    document.AppendHtml(u"<img src=a width=30 height=10><img src=b width=50><img src=c height=10>");
    document.OnImageLoaded(0, 300, 300);
    document.OnImageLoaded(1, 100, 40);
    document.OnImageLoaded(2, 100, 40);
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=20 w=105\n"
                         u"  x=0 w=30 [img]\n"
                         u"  x=30 w=50 [img]\n"
                         u"  x=80 w=25 [img]\n"));
}

TEST_F(Images, FailedOrBogusReportsKeepAPlaceholder) {
    document.AppendHtml(u"<img src=a><img src=b>");
    document.OnImageFailed(0);
    document.OnImageLoaded(1, 0, 100);
    document.OnImageLoaded(7, 10, 10);
    document.OnImageLoaded(-1, 10, 10);
    document.OnImageLoaded(1, 100000, 100000);  // capped, never trusted as is
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=20 w=20\n"
                         u"  x=0 w=20 [img]\n"
                         u"line y=20 h=4096 w=4096\n"
                         u"  x=0 w=4096 [img]\n"));
}

// The document at 192 DPI (or 96 DPI at 200 %): every CSS length doubled,
// points to pixels at the DPI (8 pt is 21 px), laid out again on a change
// with the reader kept where they were.
class Scaling : public PaneDocumentTest {
protected:
    static constexpr CssScale kDouble{DpiScale(192), 100};
    static constexpr int kDoubledLine = 15 + 5;  // FixedMetrics at 21 px
};

TEST_F(Scaling, FontsImagesMarginsAndPlaceholdersScaleAndStayCapped) {
    document.Load(
        u"<style>body { font-size: 8pt }</style><body>ab<font size=7>c</font>"
        u"<img src=a width=100 height=50><img src=b><embed><br><img src=c><br><img width=4000 height=3>");
    document.SetScale(kDouble);
    EXPECT_EQ(document.BodyFont().pixelSize, 21);
    document.SetViewport(600, 400, metrics);
    document.OnImageLoaded(3, 30, 20);
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=16 h=124 w=389\n"  // 100 of image, 24 of size 7's descent
                         u"  x=16 w=14 |ab|\n"
                         u"  x=30 w=7 |c|\n"
                         u"  x=37 w=200 [img]\n"
                         u"  x=237 w=40 [img]\n"
                         u"  x=277 w=128 [embed]\n"
                         u"line y=140 h=45 w=60\n"
                         u"  x=16 w=60 [img]\n"
                         u"line y=185 h=6 w=4096\n"
                         u"  x=16 w=4096 [img]\n"));
    EXPECT_EQ(document.ScrollHeight(), 191 + 16);
    document.SetScale(CssScale(DpiScale(96), 200));
    EXPECT_EQ(document.BodyFont().pixelSize, 21);
    document.SetScale(CssScale{});
    EXPECT_EQ(document.BodyFont().pixelSize, 11);
    EXPECT_EQ(document.ScrollHeight(), 8 + 62 + 23 + 3 + 8);
}

TEST_F(Scaling, TheBottomStaysTheBottom) {
    for (int n = 0; n < 100; ++n) document.AppendHtml(u"line<br>");
    document.SetScrollTop(100 * kLine);
    document.SetScale(kDouble);
    EXPECT_EQ(document.ScrollHeight(), 100 * kDoubledLine);
    EXPECT_EQ(document.ScrollTop(), 100 * kDoubledLine - 100);
}

TEST_F(Scaling, TheLineAtTheTopStaysAtTheTop) {
    for (int n = 0; n < 100; ++n) document.AppendHtml(u"line<br>");
    document.SetScrollTop(50 * kLine + 5);  // line 50, partly scrolled off
    document.SetScale(kDouble);
    document.SetScale(CssScale(DpiScale(192), 150));  // before anything was laid out at 200 %
    EXPECT_EQ(document.ScrollTop(), 50 * (24 + 8));   // FixedMetrics at 32 px
    document.SetScale(CssScale{});
    EXPECT_EQ(document.ScrollTop(), 50 * kLine);
    document.SetScale(kDouble);
    document.SetScrollTop(7);  // the host's own scrolling wins
    EXPECT_EQ(document.ScrollTop(), 7);
}

class Template : public PaneDocumentTest {};

TEST_F(Template, StyleFontAndBaseTargetComeFromTheTemplate) {
    EXPECT_EQ(document.Style().fontFamilies, u"Tahoma,굴림");
    EXPECT_EQ(document.BodyFont().families, u"Tahoma,굴림");
    EXPECT_EQ(document.BodyFont().pixelSize, 11);
    EXPECT_FALSE(document.BodyFont().bold);
    EXPECT_EQ(document.BaseTarget(), u"_blank");
    EXPECT_EQ(document.Background(), Rgb(255, 255, 255));
}

TEST_F(Template, LoadingAgainStartsAnEmptyDocument) {
    document.AppendHtml(u"old<img src=a>");
    document.SelectAll();
    document.Load(u"<body bgcolor=black>new</body>");
    EXPECT_FALSE(document.HasSelection());
    EXPECT_TRUE(document.TakeImageRequests().empty());
    EXPECT_EQ(document.BaseTarget(), u"");
    EXPECT_EQ(document.Background(), Rgb(0, 0, 0));
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=8 h=12 w=21\n"
                         u"  x=8 w=21 |new|\n"));
}

TEST_F(Template, NothingIsLaidOutBeforeAMeasurerIsGiven) {
    Document fresh;
    fresh.Load(kPaneTemplate);
    fresh.AppendHtml(u"text");
    EXPECT_EQ(fresh.ScrollHeight(), 0);
    EXPECT_EQ(fresh.PositionAt(3, 3), 0u);
    EXPECT_EQ(fresh.LinkAt(3, 3), u"");
    fresh.SetViewport(100, 100, metrics);
    EXPECT_EQ(fresh.ScrollHeight(), kLine);
}

}  // namespace
}  // namespace html::testing
