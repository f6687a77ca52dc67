// Legacy colour values as font color attributes and the template's scroll
// bar properties write them.
#include <gtest/gtest.h>

#include "framework/html/LegacyColor.h"

namespace {

using html::ParseLegacyColor;
using html::Rgb;

TEST(LegacyColor, ReadsNamesInAnyLetterCase) {
    EXPECT_EQ(ParseLegacyColor(u"blue"), Rgb(0, 0, 0xFF));
    EXPECT_EQ(ParseLegacyColor(u"Purple"), Rgb(0x80, 0, 0x80));
    EXPECT_EQ(ParseLegacyColor(u" RED\t"), Rgb(0xFF, 0, 0));
    EXPECT_EQ(ParseLegacyColor(u"lightgoldenrodyellow"), Rgb(0xFA, 0xFA, 0xD2));
    EXPECT_EQ(ParseLegacyColor(u"aliceblue"), Rgb(0xF0, 0xF8, 0xFF));
    EXPECT_EQ(ParseLegacyColor(u"yellowgreen"), Rgb(0x9A, 0xCD, 0x32));
}

TEST(LegacyColor, ReadsSixDigitsWithOrWithoutHash) {
    EXPECT_EQ(ParseLegacyColor(u"394D84"), Rgb(0x39, 0x4D, 0x84));
    EXPECT_EQ(ParseLegacyColor(u"#394d84"), Rgb(0x39, 0x4D, 0x84));
    EXPECT_EQ(ParseLegacyColor(u"#000000"), Rgb(0, 0, 0));
}

TEST(LegacyColor, ExpandsThreeDigitsOnlyAfterAHash) {
    EXPECT_EQ(ParseLegacyColor(u"#abc"), Rgb(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(ParseLegacyColor(u"abc"), Rgb(0x0A, 0x0B, 0x0C));
}

TEST(LegacyColor, FoldsOddLengthsAndNonDigitsIntoThreeComponents) {
    EXPECT_EQ(ParseLegacyColor(u"fffff"), Rgb(0xFF, 0xFF, 0xF0));
    EXPECT_EQ(ParseLegacyColor(u"#fffff"), Rgb(0xFF, 0xFF, 0xF0));
    EXPECT_EQ(ParseLegacyColor(u"chucknorris"), Rgb(0xC0, 0, 0));
    EXPECT_EQ(ParseLegacyColor(u"#1"), Rgb(0x01, 0, 0));
    // Long values keep each component's last eight digits, then drop the
    // zeros all three lead with, then keep two.
    EXPECT_EQ(ParseLegacyColor(u"#0000000000ff0000000000ff0000000000ff"), Rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(ParseLegacyColor(u"#00123400abcd00ef01"), Rgb(0x12, 0xAB, 0xEF));
    // A character beyond U+FFFF counts as two zeros.
    EXPECT_EQ(ParseLegacyColor(u"\U0001F600ff"), Rgb(0, 0xFF, 0));
}

TEST(LegacyColor, GivesNoColourOnlyForEmptyAndTransparent) {
    EXPECT_EQ(ParseLegacyColor(u""), std::nullopt);
    EXPECT_EQ(ParseLegacyColor(u"Transparent"), std::nullopt);
    EXPECT_EQ(ParseLegacyColor(u"   "), Rgb(0, 0, 0));
}

TEST(LegacyColor, StaysBoundedOnHugeValues) {
    const std::u16string huge(1 << 20, u'f');
    EXPECT_EQ(ParseLegacyColor(huge), Rgb(0xFF, 0xFF, 0xFF));
}

}  // namespace
