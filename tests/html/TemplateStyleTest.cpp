// The body rule of the template's style sheet.
#include <gtest/gtest.h>

#include "framework/html/HtmlParser.h"

namespace {

using html::Rgb;
using html::TemplateStyle;

TemplateStyle StyleOf(std::u16string_view css) {
    const std::u16string document =
        u"<html><head><style>" + std::u16string(css) + u"</style></head><body></body></html>";
    return html::ReadTemplateStyle(*html::ParseDocument(document));
}

TEST(TemplateStyle, ReadsEveryPropertyOfTheChatTemplate) {
    const auto document = html::ParseDocument(
        u"<HTML><head><style>body {scrollbar-3dlight-color:595959; scrollbar-arrow-color:ffffff; "
        u"scrollbar-base-color:cfcfcf; scrollbar-darkshadow-color:ffffff; scrollbar-face-color:cfcfcf; "
        u"scrollbar-highlight-color:fffff; scrollbar-shadow-color:595959; font-family:\"Tahoma\",\"굴림\"; "
        u"font-size:8pt; color:#000000}</style><base target=\"_blank\"></head>"
        u"<body topmargin=\"0\" leftmargin=\"0\" bottomMargin=\"0\">\r\n\t\r\n</body></HTML>");
    const TemplateStyle style = html::ReadTemplateStyle(*document);
    EXPECT_EQ(style.fontFamilies, u"Tahoma,굴림");
    EXPECT_DOUBLE_EQ(style.fontSizePt, 8.0);
    EXPECT_EQ(style.color, Rgb(0, 0, 0));
    EXPECT_EQ(style.scrollbar3dLight, Rgb(0x59, 0x59, 0x59));
    EXPECT_EQ(style.scrollbarArrow, Rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(style.scrollbarTrack, Rgb(0xCF, 0xCF, 0xCF));
    EXPECT_EQ(style.scrollbarDarkShadow, Rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(style.scrollbarFace, Rgb(0xCF, 0xCF, 0xCF));
    EXPECT_EQ(style.scrollbarHighlight, Rgb(0xFF, 0xFF, 0xF0));
    EXPECT_EQ(style.scrollbarShadow, Rgb(0x59, 0x59, 0x59));
}

TEST(TemplateStyle, KeepsTheDefaultsWithoutABodyRule) {
    const TemplateStyle defaults;
    const TemplateStyle style = StyleOf(u"p { color: red; font-size: 20pt }");
    EXPECT_EQ(style.color, defaults.color);
    EXPECT_EQ(style.fontSizePt, defaults.fontSizePt);
    EXPECT_EQ(html::ReadTemplateStyle(*html::ParseDocument(u"x")).fontFamilies, defaults.fontFamilies);
}

TEST(TemplateStyle, FindsBodyInSelectorListsAndSkipsComments) {
    const TemplateStyle style = StyleOf(u"/* body { color: red } */ p, BODY { color: blue } td{color:green}");
    EXPECT_EQ(style.color, Rgb(0, 0, 0xFF));
}

TEST(TemplateStyle, LetsLaterDeclarationsWin) {
    EXPECT_EQ(StyleOf(u"body { color: red } body { color: #00ff00; }").color, Rgb(0, 0xFF, 0));
    EXPECT_EQ(StyleOf(u"body { color: red; color: navy !important }").color, Rgb(0, 0, 0x80));
}

TEST(TemplateStyle, ReadsFontFamiliesWithAnyQuotes) {
    EXPECT_EQ(StyleOf(u"body { font-family: '굴림', \"Malgun Gothic\" , Arial }").fontFamilies,
              u"굴림,Malgun Gothic,Arial");
    EXPECT_EQ(StyleOf(u"body { font-family: \"a;b\"; color: red }").fontFamilies, u"a;b");
}

TEST(TemplateStyle, ReadsFontSizesInPointsOrPixelsOnly) {
    EXPECT_DOUBLE_EQ(StyleOf(u"body{font-size:10.5PT}").fontSizePt, 10.5);
    EXPECT_DOUBLE_EQ(StyleOf(u"body{font-size:12px}").fontSizePt, 9.0);
    const double defaultSize = TemplateStyle{}.fontSizePt;
    EXPECT_DOUBLE_EQ(StyleOf(u"body{font-size:large}").fontSizePt, defaultSize);
    EXPECT_DOUBLE_EQ(StyleOf(u"body{font-size:-3pt}").fontSizePt, defaultSize);
    EXPECT_DOUBLE_EQ(StyleOf(u"body{font-size:1e300pt}").fontSizePt, defaultSize);
    EXPECT_DOUBLE_EQ(StyleOf(u"body{font-size:8em}").fontSizePt, defaultSize);
}

TEST(TemplateStyle, SurvivesAnUnclosedRule) {
    EXPECT_EQ(StyleOf(u"body { color: red; font-size: 7pt").fontSizePt, 7.0);
}

}  // namespace
