// The small rules under the flow: legacy font sizes, integer attributes,
// URL trimming, style interning and its caps.
#include "framework/html/FlowBuilder.h"
#include "framework/html/StyleTable.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>

namespace html {
namespace {

TEST(LegacyFontSize, AbsoluteAndRelativeSizesClampToOneToSeven) {
    EXPECT_EQ(LegacyFontSizePixels(u"1"), 12);
    EXPECT_EQ(LegacyFontSizePixels(u" 3"), 16);
    EXPECT_EQ(LegacyFontSizePixels(u"7"), 48);
    EXPECT_EQ(LegacyFontSizePixels(u"0"), 12);
    EXPECT_EQ(LegacyFontSizePixels(u"99999999999999999999"), 48);
    EXPECT_EQ(LegacyFontSizePixels(u"+1"), 19);
    EXPECT_EQ(LegacyFontSizePixels(u"-1"), 13);
    EXPECT_EQ(LegacyFontSizePixels(u"-9"), 12);
    EXPECT_EQ(LegacyFontSizePixels(u"+2px"), 24);
    EXPECT_EQ(LegacyFontSizePixels(u""), std::nullopt);
    EXPECT_EQ(LegacyFontSizePixels(u"+"), std::nullopt);
    EXPECT_EQ(LegacyFontSizePixels(u"large"), std::nullopt);
}

TEST(PointsToPixels, RoundsAtNinetySixDpiAndStaysSane) {
    EXPECT_EQ(PointsToPixels(8), 11);
    EXPECT_EQ(PointsToPixels(9), 12);
    EXPECT_EQ(PointsToPixels(0), 1);
    EXPECT_EQ(PointsToPixels(1e9), 144);
    EXPECT_EQ(PointsToPixels(std::numeric_limits<double>::quiet_NaN()), 12);
}

TEST(PointsToPixels, AtADpiAndZoomRoundOnce) {
    EXPECT_EQ(PointsToPixels(8, CssScale(DpiScale(192), 100)), 21);  // not 2 x 11
    EXPECT_EQ(PointsToPixels(8, CssScale(DpiScale(144), 100)), 16);
    EXPECT_EQ(PointsToPixels(8, CssScale(DpiScale(96), 67)), 7);
    EXPECT_EQ(PointsToPixels(1e9, CssScale(DpiScale(192), 100)), 288);
    EXPECT_EQ(PointsToPixels(0.01, CssScale(DpiScale(96), 50)), 1);
}

TEST(CssScale, LengthsRoundHalfAwayAndBadDpiOrZoomIsBroughtIn) {
    const CssScale scale(DpiScale(120), 100);
    EXPECT_EQ(scale.Length(2), 3);  // 2.5
    EXPECT_EQ(scale.Length(-2), -3);
    EXPECT_EQ(scale.Line(0), 1);
    EXPECT_TRUE(CssScale(DpiScale(0), 100).IsOne());
    EXPECT_EQ(CssScale(DpiScale(10000), 100).Dpi(), 480);
    EXPECT_EQ(CssScale(DpiScale(96), 1000).ZoomPercent(), 300);
    EXPECT_EQ(CssScale(DpiScale(480), 300).Length(4096), 4096 * 15);
}

TEST(ZoomSteps, StepThroughTheBrowsersStepsAndStopAtTheEnds) {
    EXPECT_EQ(SteppedZoom(100, 1), 110);
    EXPECT_EQ(SteppedZoom(100, -1), 90);
    EXPECT_EQ(SteppedZoom(90, -2), 75);
    EXPECT_EQ(SteppedZoom(250, 5), 300);
    EXPECT_EQ(SteppedZoom(67, -9), 50);
    EXPECT_EQ(SteppedZoom(105, 1), 110);  // between steps: the next one in that direction
    EXPECT_EQ(SteppedZoom(105, -1), 100);
}

TEST(NonNegativeInteger, ReadsLeadingDigitsAndCaps) {
    EXPECT_EQ(ParseNonNegativeInteger(u" +42px", 100), 42);
    EXPECT_EQ(ParseNonNegativeInteger(u"0", 100), 0);
    EXPECT_EQ(ParseNonNegativeInteger(u"123456789012345", 4096), 4096);
    EXPECT_EQ(ParseNonNegativeInteger(u"3922222222", 1'000'000'000), 1'000'000'000);  // capped, never wrapped
    EXPECT_EQ(ParseNonNegativeInteger(u"-5", 100), std::nullopt);
    EXPECT_EQ(ParseNonNegativeInteger(u"", 100), std::nullopt);
    EXPECT_EQ(ParseNonNegativeInteger(u"x1", 100), std::nullopt);
}

TEST(TrimUrl, StripsControlsAndSpacesAtTheEndsAndTabsAndNewlinesInside) {
    EXPECT_EQ(TrimUrl(u" \x01java\tscr\nipt:x\r "), u"javascript:x");
    EXPECT_EQ(TrimUrl(u"http://a/b c"), u"http://a/b c");
    EXPECT_EQ(TrimUrl(u"\x1F\x20"), u"");
}

TEST(StyleTable, InternsEqualLooksOnceAndGivesFontsDistinctIds) {
    StyleTable table;
    InlineStyle body;
    body.family = table.InternFamilies(u"Tahoma,굴림", 0);
    body.pixelSize = 11;
    const StyleId plain = table.Intern(body);
    InlineStyle bold = body;
    bold.bold = true;
    const StyleId boldId = table.Intern(bold);
    InlineStyle red = body;
    red.color = Rgb(255, 0, 0);
    const StyleId redId = table.Intern(red);

    EXPECT_EQ(table.Intern(body), plain);
    EXPECT_NE(boldId, plain);
    EXPECT_NE(redId, plain);
    EXPECT_EQ(table.Font(redId).id, table.Font(plain).id);  // colour is not part of the font
    EXPECT_NE(table.Font(boldId).id, table.Font(plain).id);
    EXPECT_TRUE(table.Font(boldId).bold);
    EXPECT_EQ(table.Font(plain).families, u"Tahoma,굴림");
    EXPECT_EQ(table.TextColor(redId), Rgb(255, 0, 0));
}

TEST(StyleTable, FullTablesFallBackInsteadOfGrowing) {
    StyleTable table;
    InlineStyle style;
    style.family = table.InternFamilies(u"Body", 0);
    style.pixelSize = 11;
    table.Intern(style);
    for (std::size_t i = 0; i < StyleTable::kMaxFamilies + 10; ++i) {
        const std::string number = std::to_string(i);
        table.InternFamilies(u"Face" + std::u16string(number.begin(), number.end()), 0);
    }
    EXPECT_EQ(table.InternFamilies(u"one more", 7), 7);
    EXPECT_EQ(table.InternFamilies(std::u16string(1000, u'y'), 0), table.InternFamilies(std::u16string(2000, u'y'), 0))
        << "names are cut, so only their start counts";

    std::set<StyleId> ids;
    for (std::uint32_t color = 0; color < StyleTable::kMaxStyles + 100; ++color) {
        style.color = color;
        ids.insert(table.Intern(style));
    }
    EXPECT_EQ(ids.size(), StyleTable::kMaxStyles);
    style.color = 0xFFFFFF;
    EXPECT_EQ(table.Intern(style), 0);
}

}  // namespace
}  // namespace html
