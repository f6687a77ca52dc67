// The declarations of style attributes that the pane honours.
#include <gtest/gtest.h>

#include "framework/html/InlineCss.h"

#include <string>

namespace {

using html::CssFontSize;
using html::ParseInlineCss;
using html::Rgb;
using html::TextAlign;
using html::TextDecorationLines;

std::optional<html::Color> ColorOf(std::u16string_view value) {
    return ParseInlineCss(u"color:" + std::u16string(value)).color;
}

TEST(InlineCss, RecoversFromMalformedDeclarationsLikeCss) {
    EXPECT_EQ(ParseInlineCss(u"COLOR : Red !IMPORTANT").color, Rgb(0xFF, 0, 0));
    EXPECT_EQ(ParseInlineCss(u"color: red; color: blue").color, Rgb(0, 0, 0xFF));
    // A malformed value leaves the earlier one.
    EXPECT_EQ(ParseInlineCss(u"color: red; color: bleu; color: blue !ie").color, Rgb(0xFF, 0, 0));
    const auto style = ParseInlineCss(u"font-weight bold; color: /* x; */ green; c{;x}; font-style:italic;;");
    EXPECT_EQ(style.bold, std::nullopt);
    EXPECT_EQ(style.color, Rgb(0, 0x80, 0));
    EXPECT_EQ(style.italic, true);
    // The semicolon inside an unclosed function belongs to it.
    EXPECT_EQ(ParseInlineCss(u"color: rgb(1;2;3; font-style: italic").italic, std::nullopt);
    EXPECT_EQ(ParseInlineCss(u"color: inherit").color, std::nullopt);
    std::u16string huge(1 << 20, u'(');
    EXPECT_EQ(ParseInlineCss(u"font-style: italic;" + huge + u"x").italic, true);
    huge.assign(1 << 20, u';');
    EXPECT_EQ(ParseInlineCss(huge + u"color:#000001/*").color, Rgb(0, 0, 1));
}

TEST(InlineCss, ReadsEveryColourForm) {
    EXPECT_EQ(ColorOf(u"#AbC"), Rgb(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(ColorOf(u"#abcd"), Rgb(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(ColorOf(u"#123456"), Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(ColorOf(u"#12345678"), Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(ColorOf(u"RGB(255, 0, 300)"), Rgb(255, 0, 255));
    EXPECT_EQ(ColorOf(u"rgba(100%, 50%, -5%, .5)"), Rgb(255, 128, 0));
    EXPECT_EQ(ColorOf(u"rgb(1 2.6 3e1 / 50%)"), Rgb(1, 3, 30));
    EXPECT_EQ(ColorOf(u"rgb(10%, 2, 3)"), std::nullopt);  // the comma form does not mix
    EXPECT_EQ(ColorOf(u"rgb(10% 2 3)"), Rgb(26, 2, 3));
    EXPECT_EQ(ColorOf(u"LightGoldenrodYellow"), Rgb(0xFA, 0xFA, 0xD2));
    for (const std::u16string_view bad :
         {u"#12345", u"#ggg", u"123456", u"rgb(1,2)", u"rgb(1,2,3,4,5)", u"rgb(1 2 3,)", u"transparent"})
        EXPECT_EQ(ColorOf(bad), std::nullopt) << std::string(bad.begin(), bad.end());
    EXPECT_EQ(ParseInlineCss(u"background-color: #fff").backgroundColor,
              std::optional<std::optional<html::Color>>(Rgb(0xFF, 0xFF, 0xFF)));
    const auto cleared = ParseInlineCss(u"background-color: red; background-color: Transparent");
    ASSERT_TRUE(cleared.backgroundColor.has_value());
    EXPECT_EQ(*cleared.backgroundColor, std::nullopt);
}

TEST(InlineCss, ReadsWeightStyleDecorationAndAlignment) {
    EXPECT_EQ(ParseInlineCss(u"font-weight: 600").bold, true);
    EXPECT_EQ(ParseInlineCss(u"font-weight: 599.5").bold, false);
    EXPECT_EQ(ParseInlineCss(u"font-weight: BOLDER").bold, true);
    EXPECT_EQ(ParseInlineCss(u"font-weight: bold; font-weight: lighter").bold, false);
    EXPECT_EQ(ParseInlineCss(u"font-weight: 1001").bold, std::nullopt);
    EXPECT_EQ(ParseInlineCss(u"font-weight: 700px").bold, std::nullopt);
    EXPECT_EQ(ParseInlineCss(u"font-style: Oblique").italic, true);
    EXPECT_EQ(ParseInlineCss(u"font-style: italic; font-style: normal").italic, false);

    EXPECT_EQ(ParseInlineCss(u"text-decoration: underline Line-Through").textDecoration,
              (TextDecorationLines{true, true}));
    EXPECT_EQ(ParseInlineCss(u"text-decoration: wavy underline rgb(1, 2, 3)").textDecoration,
              (TextDecorationLines{true, false}));
    EXPECT_EQ(ParseInlineCss(u"text-decoration: underline; text-decoration: none").textDecoration,
              TextDecorationLines{});
    EXPECT_EQ(ParseInlineCss(u"text-decoration-line: line-through").textDecoration, (TextDecorationLines{false, true}));
    for (const std::u16string_view bad : {u"text-decoration: none underline", u"text-decoration: sparkle underline",
                                          u"text-decoration-line: red", u"text-decoration:"})
        EXPECT_EQ(ParseInlineCss(bad).textDecoration, std::nullopt) << std::string(bad.begin(), bad.end());

    EXPECT_EQ(ParseInlineCss(u"text-align: CENTER").textAlign, TextAlign::Center);
    EXPECT_EQ(ParseInlineCss(u"text-align: justify").textAlign, TextAlign::Left);
    EXPECT_EQ(ParseInlineCss(u"text-align: end").textAlign, TextAlign::Right);
    EXPECT_EQ(ParseInlineCss(u"text-align: middle").textAlign, std::nullopt);
}

TEST(InlineCss, ResolvesFontSizesAgainstTheParent) {
    const auto resolved = [](std::u16string_view value, double parent) {
        const std::optional<CssFontSize> size = ParseInlineCss(u"font-size:" + std::u16string(value)).fontSize;
        return size ? html::ResolveFontSize(*size, parent) : -1.0;
    };
    EXPECT_DOUBLE_EQ(resolved(u"12PX", 16), 12);
    EXPECT_DOUBLE_EQ(resolved(u"+9pt", 16), 12);
    EXPECT_DOUBLE_EQ(resolved(u"1.5em", 10), 15);
    EXPECT_DOUBLE_EQ(resolved(u"1e1px", 16), 10);
    EXPECT_DOUBLE_EQ(resolved(u"50%", 30), 15);
    EXPECT_DOUBLE_EQ(resolved(u"larger", 10), 12);
    EXPECT_DOUBLE_EQ(resolved(u"smaller", 12), 10);
    EXPECT_DOUBLE_EQ(resolved(u"Small", 99), 13);  // the legacy size 2
    EXPECT_DOUBLE_EQ(resolved(u"xxx-large", 9), 48);
    EXPECT_DOUBLE_EQ(resolved(u"xx-small", 9), 9);
    EXPECT_DOUBLE_EQ(resolved(u"0", 16), html::kMinCssFontPixels);
    EXPECT_DOUBLE_EQ(resolved(u"1e300em", 16), html::kMaxCssFontPixels);
    EXPECT_DOUBLE_EQ(resolved(u"1000000%", 1000), html::kMaxCssFontPixels);
    for (const std::u16string_view bad : {u"-2px", u"12", u"12 px", u"1e999px", u"big", u"px", u"em"})
        EXPECT_DOUBLE_EQ(resolved(bad, 16), -1) << std::string(bad.begin(), bad.end());
}

}  // namespace
