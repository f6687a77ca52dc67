// Hostile chat text: whatever arrives is shown or ignored, and the work it
// causes grows linearly. Work is counted as the UTF-16 units the document
// hands to the measurer, which does not depend on the machine's speed.
#include "tests/html/PaneTestSupport.h"

#include <string>

namespace html::testing {
namespace {

class HostileInput : public PaneDocumentTest {
protected:
    long long UnitsMeasuredFor(std::u16string_view fragment) {
        Document fresh;
        fresh.Load(kPaneTemplate);
        FixedMetrics counting;
        fresh.SetViewport(200, 100, counting);
        fresh.AppendHtml(fragment);
        fresh.ScrollHeight();
        return counting.unitsMeasured;
    }
};

TEST_F(HostileInput, TenThousandNestedElementsRenderTheirText) {
    std::u16string nested;
    for (int i = 0; i < 10000; ++i) {
        nested += u"<b><div><font color=red>";
    }
    nested += u"deep";
    document.AppendHtml(nested);
    document.AppendHtml(u"after");
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=12 w=32\n"
                         u"  x=0 w=32 |deep|\n"
                         u"line y=12 h=12 w=35\n"
                         u"  x=0 w=35 |after|\n"));
}

TEST_F(HostileInput, MegabyteWithoutSpacesIsBrokenInLinearWork) {
    const long long quarter = UnitsMeasuredFor(std::u16string(256 * 1024, u'x'));
    const long long whole = UnitsMeasuredFor(std::u16string(1024 * 1024, u'x'));
    EXPECT_LT(whole, 5 * quarter);
    document.AppendHtml(std::u16string(1024 * 1024, u'x'));
    const int perLine = 192 / 7;
    EXPECT_EQ(document.ScrollHeight(), (1024 * 1024 + perLine - 1) / perLine * kLine);
}

TEST_F(HostileInput, MegabyteOfNonBreakingSpacesAndMarksIsBrokenToo) {
    std::u16string text;
    for (int i = 0; i < 100000; ++i) {
        text += u"&nbsp;\u0301<i>x</i>";
    }
    const long long small = UnitsMeasuredFor(text.substr(0, text.size() / 4));
    EXPECT_LT(UnitsMeasuredFor(text), 5 * small);
}

TEST_F(HostileInput, ManyTinyFragmentsCostTheSameEach) {
    const auto unitsPerAppend = [this](int before) {
        Document fresh;
        fresh.Load(kPaneTemplate);
        FixedMetrics counting;
        fresh.SetViewport(200, 100, counting);
        for (int i = 0; i < before; ++i) {
            fresh.AppendHtml(i % 3 == 0 ? u"a " : u"<b>b</b>");
            fresh.ScrollHeight();
        }
        const long long start = counting.unitsMeasured;
        for (int i = 0; i < 100; ++i) {
            fresh.AppendHtml(u"<b>b</b>");
            fresh.ScrollHeight();
        }
        return counting.unitsMeasured - start;
    };
    EXPECT_LT(unitsPerAppend(20000), 2 * unitsPerAppend(200) + 100);
}

TEST_F(HostileInput, EndlessWordAcrossStylesIsBrokenInLinearWork) {
    std::u16string text;
    for (int i = 0; i < 20000; ++i) {
        text += i % 2 ? u"<b>ab</b>" : u"<i>cd</i>";
    }
    const long long small = UnitsMeasuredFor(text.substr(0, text.size() / 4));
    EXPECT_LT(UnitsMeasuredFor(text), 5 * small);
}

TEST_F(HostileInput, ThousandsOfAttributesAndStylesAreHarmless) {
    std::u16string tag = u"<font";
    for (int i = 0; i < 5000; ++i) {
        tag += u" a" + RecordingSurface::Number(i) + u"=v";
    }
    tag += u" color=red>x</font>";
    document.AppendHtml(tag);
    // More distinct looks than the style table holds: the rest falls back.
    for (int i = 0; i < 70000; ++i) {
        document.AppendHtml(u"<font color=#" + RecordingSurface::Number(100000 + i) + u">y</font>");
    }
    document.AppendHtml(u"<font face='" + std::u16string(100000, u'F') + u"' size=+99>z</font>");
    EXPECT_GT(document.ScrollHeight(), 0);
}

TEST_F(HostileInput, HugeObjectSizesAreCapped) {
    document.AppendHtml(u"<img src=a width=99999999999 height=-5><embed width=4097 height=+70000>");
    EXPECT_TRUE(SameText(document.DumpLayout(),
                         u"line y=0 h=20 w=4096\n"
                         u"  x=0 w=4096 [img]\n"
                         u"line y=20 h=4096 w=4096\n"
                         u"  x=0 w=4096 [embed]\n"));
}

TEST_F(HostileInput, OddCharactersAreJustText) {
    document.AppendHtml(std::u16string(u"a\0b", 3) + u"\xD800 \xDC00z\uFFFC\uFFFF");
    document.SelectAll();
    EXPECT_EQ(document.SelectedText().size(), 8u);
    EXPECT_GT(document.ScrollHeight(), 0);
}

std::u16string Repeated(std::u16string_view piece, int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// Nesting past the caps lays out as plain blocks: the text is still there,
// on its own line, and the blocks' work stays linear.
TEST_F(HostileInput, TenThousandNestedListsQuotesAndTablesShowTheirText) {
    for (const std::u16string_view opener : {u"<ul><li>", u"<blockquote>", u"<table><tr><td>"}) {
        Document fresh;
        fresh.Load(kPaneTemplate);
        fresh.SetViewport(200, 100, metrics);
        fresh.AppendHtml(Repeated(opener, 10000) + u"deep");
        fresh.AppendHtml(u"after");
        const std::u16string layout = fresh.DumpLayout();
        EXPECT_NE(layout.find(u"|deep|"), std::u16string::npos) << Utf8(opener);
        EXPECT_NE(layout.find(u"|after|"), std::u16string::npos) << Utf8(opener);
        EXPECT_GT(fresh.ScrollHeight(), 0);
    }
    const long long tables = UnitsMeasuredFor(Repeated(u"<table><tr><td>x", 2000));
    EXPECT_LT(UnitsMeasuredFor(Repeated(u"<table><tr><td>x", 4000)), 3 * tables);
}

// Spans and widths of a billion are cut to the standard's caps, a table is
// never wider than the pane says it may be, and a hundred thousand cells cost
// what a hundred thousand short lines do.
TEST_F(HostileInput, HugeTablesAreCappedAndCostLinearWork) {
    document.AppendHtml(
        u"<table width=1000000000 cellspacing=1000000000 border=1000000000><tr>"
        u"<td colspan=1000000000 rowspan=1000000000 width=1000000000>a</td></tr></table>after");
    const std::u16string layout = document.DumpLayout();
    EXPECT_NE(layout.find(u"|after|"), std::u16string::npos);
    EXPECT_LT(document.ScrollHeight(), 10000);
    const long long cells = UnitsMeasuredFor(u"<table>" + Repeated(u"<tr>" + Repeated(u"<td>x", 50), 1000));
    EXPECT_LT(UnitsMeasuredFor(u"<table>" + Repeated(u"<tr>" + Repeated(u"<td>x", 50), 2000)), 3 * cells);
    EXPECT_LT(UnitsMeasuredFor(u"<table><tr>" + Repeated(u"<td>x", 100000)), 3 * cells);
}

}  // namespace
}  // namespace html::testing
