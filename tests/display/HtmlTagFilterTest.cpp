// The tag filter: every "<" becomes "&lt;" unless a whitelisted name (as a
// prefix, ignoring letter case) follows it or its "/".
#include "display/HtmlTagFilter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ChatWhitelist : public ::testing::Test {
protected:
    ChatWhitelist() {
        filter.AddTag("a");
        filter.AddTag("img");
        filter.AddTag("embed");
    }

    std::string Filtered(const char* source) const {
        CString out("left over from before");
        EXPECT_TRUE(filter.Filter(source, out));
        return out.str();
    }

    CHtmlTagFilter filter;
};

}  // namespace

TEST_F(ChatWhitelist, EscapesTagsOffTheList) {
    EXPECT_EQ(Filtered("<b>hi</b>"), "&lt;b>hi&lt;/b>");
    EXPECT_EQ(Filtered("<script>x</script>"), "&lt;script>x&lt;/script>");
    EXPECT_EQ(Filtered("<//a>"), "&lt;//a>");
    EXPECT_EQ(Filtered("< a>"), "&lt; a>");
}

TEST_F(ChatWhitelist, KeepsListedTagsWhateverTheirCase) {
    EXPECT_EQ(Filtered("<a href=x>y</a>"), "<a href=x>y</a>");
    EXPECT_EQ(Filtered("<IMG src=x>"), "<IMG src=x>");
    EXPECT_EQ(Filtered("</A>"), "</A>");
    EXPECT_EQ(Filtered("<Embed src=x>"), "<Embed src=x>");
}

TEST_F(ChatWhitelist, MatchesListedNamesAsPrefixes) {
    EXPECT_EQ(Filtered("<abbr><address><applet><area>"), "<abbr><address><applet><area>");
    EXPECT_EQ(Filtered("<imgx><embedded>"), "<imgx><embedded>");
    EXPECT_EQ(Filtered("<im>"), "&lt;im>");
    EXPECT_EQ(Filtered("<emb"), "&lt;emb");
}

TEST_F(ChatWhitelist, EscapesLessThanAtTheEnd) {
    EXPECT_EQ(Filtered("x<"), "x&lt;");
    EXPECT_EQ(Filtered("x</"), "x&lt;/");
    EXPECT_EQ(Filtered("<"), "&lt;");
}

TEST_F(ChatWhitelist, CopiesEverythingButLessThan) {
    EXPECT_EQ(Filtered("&lt; & > \" ' %s %n"), "&lt; & > \" ' %s %n");
    EXPECT_EQ(Filtered(""), "");
    EXPECT_EQ(Filtered(nullptr), "");
}

TEST_F(ChatWhitelist, LeavesDoubleByteTextIntact) {
    // "안녕<b>" and a character whose trail byte is "A" (0x41) after "<".
    EXPECT_EQ(Filtered("\xBE\xC8\xB3\xE7<b>"), "\xBE\xC8\xB3\xE7&lt;b>");
    EXPECT_EQ(Filtered("<\x81\x41>"), "&lt;\x81\x41>");
}

TEST(HtmlTagFilter, TrailByteThatLooksLikeALetterIsNoMatch) {
    // 0x81 0x41 is one character; its trail byte must not be lower-cased
    // into the "a" of an entry, nor matched by half.
    CHtmlTagFilter filter;
    filter.AddTag(
        "\x81"
        "a");
    CString out;
    filter.Filter("<\x81\x41>", out);
    EXPECT_EQ(out, "&lt;\x81\x41>");
    filter.AddTag("\x81\x41");
    filter.Filter("<\x81\x41>", out);
    EXPECT_EQ(out, "<\x81\x41>");
}

TEST(HtmlTagFilter, DoubleByteCharacterMustFitInTheEntry) {
    CHtmlTagFilter filter;
    filter.AddTag("x\xB0");  // ends in half a character
    CString out;
    filter.Filter("<x\xB0\xA1>", out);
    EXPECT_EQ(out, "&lt;x\xB0\xA1>");
    filter.Filter("<x\xB0", out);  // text ends inside the character
    EXPECT_EQ(out, "&lt;x\xB0");
}

TEST(HtmlTagFilter, EmptyWhitelistEscapesEveryLessThan) {
    const CHtmlTagFilter filter;
    CString out;
    EXPECT_TRUE(filter.Filter("<a>1</a><", out));
    EXPECT_EQ(out, "&lt;a>1&lt;/a>&lt;");
}

TEST(HtmlTagFilter, StoresEntriesLowerCasedInOrder) {
    CHtmlTagFilter filter;
    EXPECT_EQ(filter.AddTag("A"), 0);
    EXPECT_EQ(filter.AddTag("IMG"), 1);
    EXPECT_EQ(filter.AddTag("a"), 2);
    ASSERT_EQ(filter.m_tags.GetSize(), 3);
    EXPECT_EQ(filter.m_tags[0], "a");
    EXPECT_EQ(filter.m_tags[1], "img");
    EXPECT_EQ(filter.m_tags[2], "a");
}
