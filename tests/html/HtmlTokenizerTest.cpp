// The tokenizer: tags and attributes, comments, character references and
// line ends, each as a dump of the tokens it gives.
#include <gtest/gtest.h>

#include "framework/html/CharacterReferences.h"
#include "framework/html/HtmlTokenizer.h"
#include "framework/html/NamedReferenceTable.h"

namespace {

using html::Token;
using html::Tokenizer;

// Start tags as <name a="v">, self-closing ones ending "/>", end tags as
// </name>, comments as <!--data-->, characters as they are, each token in [].
std::u16string DumpToken(const Token& token) {
    switch (token.type) {
    case Token::Type::StartTag: {
        std::u16string out = u"<" + token.name;
        for (const html::Attribute& attribute : token.attributes)
            out += u" " + attribute.name + u"=\"" + attribute.value + u"\"";
        return out + (token.selfClosing ? u"/>" : u">");
    }
    case Token::Type::EndTag: return u"</" + token.name + u">";
    case Token::Type::Comment: return u"<!--" + token.data + u"-->";
    case Token::Type::Characters: return token.data;
    case Token::Type::EndOfFile: break;
    }
    return u"";
}

std::u16string Tokens(std::u16string_view input) {
    Tokenizer tokenizer(input);
    std::u16string out;
    for (Token token = tokenizer.Next(); token.type != Token::Type::EndOfFile; token = tokenizer.Next())
        out += u"[" + DumpToken(token) + u"]";
    return out;
}

TEST(HtmlTokenizer, ReadsQuotedSingleQuotedAndUnquotedAttributes) {
    EXPECT_EQ(Tokens(u"<font color=\"red\" face='Tahoma, 굴림' size=3>"),
              u"[<font color=\"red\" face=\"Tahoma, 굴림\" size=\"3\">]");
    EXPECT_EQ(Tokens(u"<a href=x?a=1&b=2>"), u"[<a href=\"x?a=1&b=2\">]");
    EXPECT_EQ(Tokens(u"<input disabled value = '' >"), u"[<input disabled=\"\" value=\"\">]");
    EXPECT_EQ(Tokens(u"<a title=\"a>b\" x='\"'>"), u"[<a title=\"a>b\" x=\"\"\">]");
    // Quote glued to the next name: the standard starts a new attribute.
    EXPECT_EQ(Tokens(u"<a b=\"1\"c=\"2\">"), u"[<a b=\"1\" c=\"2\">]");
}

TEST(HtmlTokenizer, IgnoresLetterCaseOfTagAndAttributeNamesButNotValues) {
    EXPECT_EQ(Tokens(u"<Font COLOR='Blue'>x</FONT>"), u"[<font color=\"Blue\">][x][</font>]");
    EXPECT_EQ(Tokens(u"<body topmargin=\"0\" bottomMargin=\"0\">"), u"[<body topmargin=\"0\" bottommargin=\"0\">]");
}

TEST(HtmlTokenizer, KeepsTheFirstOfRepeatedAttributes) {
    EXPECT_EQ(Tokens(u"<a href=1 HREF=2 x href=3>"), u"[<a href=\"1\" x=\"\">]");
}

TEST(HtmlTokenizer, MarksSelfClosingStartTagsAndStripsEndTagAttributes) {
    EXPECT_EQ(Tokens(u"<br/><img src=a />"), u"[<br/>][<img src=\"a\"/>]");
    EXPECT_EQ(Tokens(u"</b class=x>"), u"[</b>]");
}

TEST(HtmlTokenizer, LeavesLessThanSignsThatOpenNoTagAsText) {
    EXPECT_EQ(Tokens(u"a < b"), u"[a < b]");
    EXPECT_EQ(Tokens(u"3<4 and <"), u"[3<4 and <]");
    EXPECT_EQ(Tokens(u"x</"), u"[x</]");
    EXPECT_EQ(Tokens(u"a</>b"), u"[ab]");
    EXPECT_EQ(Tokens(u"a</ b>c"), u"[a][<!-- b-->][c]");
}

TEST(HtmlTokenizer, DropsATagCutOffByTheEndOfInput) {
    EXPECT_EQ(Tokens(u"a<b c=\"d"), u"[a]");
    EXPECT_EQ(Tokens(u"a<font color"), u"[a]");
}

TEST(HtmlTokenizer, ReadsCommentsIncludingAbruptAndUnterminatedOnes) {
    EXPECT_EQ(Tokens(u"a<!-- x -->b"), u"[a][<!-- x -->][b]");
    EXPECT_EQ(Tokens(u"<!-->x"), u"[<!---->][x]");
    EXPECT_EQ(Tokens(u"<!--->x"), u"[<!---->][x]");
    EXPECT_EQ(Tokens(u"<!-- a -- b --->c"), u"[<!-- a -- b --->][c]");
    EXPECT_EQ(Tokens(u"<!--x--!>y"), u"[<!--x-->][y]");
    EXPECT_EQ(Tokens(u"a<!-- <b>never shown"), u"[a][<!-- <b>never shown-->]");
    EXPECT_EQ(Tokens(u"<!DOCTYPE html><?xml x?><![CDATA[y]]>z"),
              u"[<!--DOCTYPE html-->][<!--?xml x?-->][<!--[CDATA[y]]-->][z]");
}

TEST(HtmlTokenizer, ResolvesNamedReferencesInText) {
    EXPECT_EQ(Tokens(u"&lt;b&gt; &amp; &quot;&apos; &copy;&eacute;&hearts;&euro;"),
              u"[<b> & \"' \u00A9\u00E9\u2665\u20AC]");
    // Longest match, and the legacy names also stand without ";".
    EXPECT_EQ(Tokens(u"&nbsp&lt&gt&amp&quot&copy"), u"[\u00A0<>&\"\u00A9]");
    EXPECT_EQ(Tokens(u"&notin; &notit; &ltx"), u"[\u2209 \u00ACit; <x]");
    // Names are case-sensitive; unknown ones stay as written.
    EXPECT_EQ(Tokens(u"&AMP; &Amp; &hearts &nosuch; & &; &"), u"[& &Amp; &hearts &nosuch; & &; &]");
    // The standard's whole table: names beyond the first plane and names for
    // two code points; "gtcc" is a name of its own, not "gt" and "cc;".
    EXPECT_EQ(Tokens(u"&Abreve;&check;&ApplyFunction;&NotEqualTilde;&Afr; &gtcc; &infty;"),
              u"[\u0102\u2713\u2061\u2242\u0338\U0001D504 \u2AA7 &infty;]");
}

// Over the generated table, which a test of its own holds to Python's copy of
// the standard's: each name is found with ";", and alone only if legacy.
TEST(HtmlTokenizer, FindsEveryNameOfTheStandard) {
    for (const html::NamedReference& reference : html::kNamedReferences) {
        const std::u16string name(reference.Name().begin(), reference.Name().end());
        const auto withSemicolon = html::MatchNamedReference(name + u";x");
        ASSERT_TRUE(withSemicolon) << reference.Name();
        EXPECT_EQ(withSemicolon->length, name.size() + 1) << reference.Name();
        EXPECT_EQ(withSemicolon->codePoint, reference.codePoint) << reference.Name();
        EXPECT_EQ(withSemicolon->secondCodePoint, reference.secondCodePoint) << reference.Name();
        const auto alone = html::MatchNamedReference(name + u" ");
        EXPECT_EQ(alone && alone->length == name.size(), reference.semicolon == html::kSemicolonOptional)
            << reference.Name();
    }
}

TEST(HtmlTokenizer, AppliesTheHistoricalRuleToReferencesInAttributes) {
    EXPECT_EQ(Tokens(u"<a href=\"?a=1&copy=2&lt;3&ltb&amp;c&nbsp\">"), u"[<a href=\"?a=1&copy=2<3&ltb&c\u00A0\">]");
    EXPECT_EQ(Tokens(u"<a href=x&amp;y&gt>"), u"[<a href=\"x&y>\">]");
    EXPECT_EQ(Tokens(u"<a title='&#65;&#x3C;'>"), u"[<a title=\"A<\">]");
    EXPECT_EQ(Tokens(u"<a title='&Afr;&NotEqualTilde;&gtcc;&notx&not'>"),
              u"[<a title=\"\U0001D504\u2242\u0338\u2AA7&notx\u00AC\">]");
}

TEST(HtmlTokenizer, ResolvesNumericReferencesWithTheStandardsReplacements) {
    EXPECT_EQ(Tokens(u"&#65;&#x42;&#X43&#68x"), u"[ABCDx]");
    EXPECT_EQ(Tokens(u"&#x80;&#150;&#x9D;"), u"[\u20AC\u2013\u009D]");
    EXPECT_EQ(Tokens(u"&#0;&#xD800;&#x110000;&#99999999999999999999;"), u"[\uFFFD\uFFFD\uFFFD\uFFFD]");
    EXPECT_EQ(Tokens(u"&#x1F600;&#xAC00;"), u"[\U0001F600가]");
    EXPECT_EQ(Tokens(u"&#; &#x; &#xg; &#"), u"[&#; &#x; &#xg; &#]");
}

TEST(HtmlTokenizer, NormalisesLineEndsOnceEverywhere) {
    EXPECT_EQ(Tokens(u"a\r\nb\rc\n\rd\r"), u"[a\nb\nc\n\nd\n]");
    EXPECT_EQ(Tokens(u"<a title=\"1\r\n2\"\r\nhref=x>"), u"[<a title=\"1\n2\" href=\"x\">]");
}

TEST(HtmlTokenizer, DropsNulInTextAndReplacesItElsewhere) {
    const std::u16string input{u'a', 0, u'b', u'<', u'i', u' ', u'x', u'=', u'y', 0, u'>'};
    EXPECT_EQ(Tokens(input), u"[ab][<i x=\"y\uFFFD\">]");
}

TEST(HtmlTokenizer, ReadsRawTextUntilTheMatchingEndTagOnly) {
    Tokenizer tokenizer(u"<style>b<i>{x}</b></styles></STYLE >after");
    EXPECT_EQ(DumpToken(tokenizer.Next()), u"<style>");
    tokenizer.SwitchContentModel(Tokenizer::ContentModel::RawText);
    EXPECT_EQ(DumpToken(tokenizer.Next()), u"b<i>{x}</b></styles>");
    EXPECT_EQ(DumpToken(tokenizer.Next()), u"</style>");
    EXPECT_EQ(DumpToken(tokenizer.Next()), u"after");
    EXPECT_EQ(tokenizer.Next().type, Token::Type::EndOfFile);
    EXPECT_EQ(tokenizer.Next().type, Token::Type::EndOfFile);
}

TEST(HtmlTokenizer, ResolvesReferencesInRcDataButNotInRawText) {
    Tokenizer rcData(u"<title>&lt;b&gt;</title>");
    rcData.Next();
    rcData.SwitchContentModel(Tokenizer::ContentModel::RcData);
    EXPECT_EQ(DumpToken(rcData.Next()), u"<b>");

    Tokenizer script(u"<script>a&lt;b</script>");
    script.Next();
    script.SwitchContentModel(Tokenizer::ContentModel::ScriptData);
    EXPECT_EQ(DumpToken(script.Next()), u"a&lt;b");
    EXPECT_EQ(DumpToken(script.Next()), u"</script>");
}

}  // namespace
