// The notice and chat-line fragments, byte for byte.
#include "display/ChatFormat.h"

#include "display/HtmlTagFilter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ChatLine : public ::testing::Test {
protected:
    ChatLine() {
        filter.AddTag("a");
        filter.AddTag("img");
        filter.AddTag("embed");
    }

    std::string Line(const char* record) const { return FormatChatLine(record, filter).str(); }

    static std::string Expected(const std::string& nickname, const std::string& id, const std::string& message) {
        return "&nbsp<Font color='blue'><B>" + nickname + "</B></Font><Font color='purple'>(" + id +
               ")</font>: " + message + "<br>";
    }

    CHtmlTagFilter filter;
};

}  // namespace

TEST(Notice, IsTheTextInBoldNoticeColourBetweenBreaks) {
    EXPECT_EQ(FormatNotice("hello"), "<br>&nbsp<Font color=394D84><b>hello</b></Font><br><br>");
}

TEST(Notice, KeepsMarkupAndPercentSignsAsTheyAre) {
    EXPECT_EQ(FormatNotice("<i>%s %d %n</i>"), "<br>&nbsp<Font color=394D84><b><i>%s %d %n</i></b></Font><br><br>");
    EXPECT_EQ(FormatNotice(""), "<br>&nbsp<Font color=394D84><b></b></Font><br><br>");
    EXPECT_EQ(FormatNotice(nullptr), "<br>&nbsp<Font color=394D84><b></b></Font><br><br>");
}

TEST_F(ChatLine, ShowsNicknameIdAndMessage) {
    EXPECT_EQ(Line("user01\a\xC3\xB6\xBC\xF6\ahello"), Expected("\xC3\xB6\xBC\xF6", "user01", "hello"));
}

TEST_F(ChatLine, FiltersOnlyTheMessage) {
    EXPECT_EQ(Line("<i>id</i>\a<b>nick</b>\a<b>hi</b> <a href=x>y</a>"),
              Expected("<b>nick</b>", "<i>id</i>", "&lt;b>hi&lt;/b> <a href=x>y</a>"));
}

TEST_F(ChatLine, MissingFieldsAreEmpty) {
    EXPECT_EQ(Line(""), Expected("", "", ""));
    EXPECT_EQ(Line(nullptr), Expected("", "", ""));
    EXPECT_EQ(Line("onlyid"), Expected("", "onlyid", ""));
    EXPECT_EQ(Line("id\anick"), Expected("nick", "id", ""));
}

TEST_F(ChatLine, MessageEndsAtItsFirstBel) {
    EXPECT_EQ(Line("id\anick\amessage\ahidden\amore"), Expected("nick", "id", "message"));
}

TEST_F(ChatLine, PercentSignsInAnyFieldAreText) { EXPECT_EQ(Line("%s\a%n\a100% %d"), Expected("%n", "%s", "100% %d")); }

TEST(MendCp949, KeepsWholeCharactersAndMarksLoneLeadBytes) {
    EXPECT_EQ(MendCp949("\xC3\xB6\xBC\xF6 ok"), "\xC3\xB6\xBC\xF6 ok");
    EXPECT_EQ(MendCp949("\xB0"), "?");
    EXPECT_EQ(MendCp949("a\xB0<b>"), "a?<b>");
    EXPECT_EQ(MendCp949("\xB0\xB0\xB0"), "\xB0\xB0?");
    EXPECT_EQ(MendCp949("\x81\x41\x81 \x80\xFF"), "\x81\x41? \x80\xFF");
    EXPECT_EQ(MendCp949(nullptr), "");
}

TEST(Notice, ALoneLeadByteAtTheEndCannotSwallowTheClosingMarkup) {
    EXPECT_EQ(FormatNotice("bad\xB0"), "<br>&nbsp<Font color=394D84><b>bad?</b></Font><br><br>");
}

TEST_F(ChatLine, ALoneLeadByteAtTheEndOfAnyFieldCannotSwallowTheMarkupAfterIt) {
    // Unmended, the nickname's byte would eat "<" of "</B>" and leave the
    // line bold, and the message's would eat the line's closing break.
    EXPECT_EQ(Line("id\xB0\anick\xB0\amsg\xB0"), Expected("nick?", "id?", "msg?"));
    EXPECT_EQ(Line("id\anick\a<b\xB0>"), Expected("nick", "id", "&lt;b?>"));
}
