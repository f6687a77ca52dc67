// Tree building for chat fragments and for the pane's template document.
#include <gtest/gtest.h>

#include "framework/html/HtmlParser.h"
#include "HtmlTreeDump.h"

namespace {

using html_test::DumpTree;

std::u16string Fragment(std::u16string_view markup) { return DumpTree(*html::ParseFragment(markup)); }

std::u16string Document(std::u16string_view markup) { return DumpTree(*html::ParseDocument(markup)); }

TEST(HtmlFragment, HasAnUnnamedRootHoldingTheNodes) {
    const auto root = html::ParseFragment(u"a<b>c</b>");
    EXPECT_EQ(root->kind, html::Node::Kind::Element);
    EXPECT_EQ(root->name, u"");
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children[0]->text, u"a");
    EXPECT_TRUE(root->children[1]->IsElement(u"b"));
}

TEST(HtmlFragment, ParsesTheChatLinesAsTheRenderersWriteThem) {
    EXPECT_EQ(Fragment(u"&nbsp<Font color='blue'><B>닉</B></Font><Font color='purple'>(id)</font>: &lt;b>hi<br>"),
              u"\u00A0<font color=\"blue\"><b>닉</b></font><font color=\"purple\">(id)</font>: <b>hi<br/>");
    EXPECT_EQ(Fragment(u"<br>&nbsp<Font color=394D84><b>공지</b></Font><br><br>"),
              u"<br/>\u00A0<font color=\"394D84\"><b>공지</b></font><br/><br/>");
}

TEST(HtmlFragment, ClosesUnclosedElementsAtTheEnd) {
    EXPECT_EQ(Fragment(u"<b>x<i>y"), u"<b>x<i>y</i></b>");
    EXPECT_EQ(Fragment(u"<a href=u>link"), u"<a href=\"u\">link</a>");
}

TEST(HtmlFragment, DropsStrayEndTagsAndComments) {
    EXPECT_EQ(Fragment(u"x</b>y</div></p><!-- z -->w"), u"xyw");
    EXPECT_EQ(Fragment(u"</body></html>x"), u"x");
}

TEST(HtmlFragment, KeepsAMisnestedTreeSane) {
    EXPECT_EQ(Fragment(u"<b><i>x</b>y</i>z"), u"<b><i>x</i></b>yz");
    EXPECT_EQ(Fragment(u"<u>1<s>2</u>3</s>"), u"<u>1<s>2</s></u>3");
}

TEST(HtmlFragment, GivesVoidElementsNoChildren) {
    EXPECT_EQ(Fragment(u"<br>x<img src=a>y<embed src=b>z<hr>w<wbr>v"),
              u"<br/>x<img src=\"a\"/>y<embed src=\"b\"/>z<hr/>w<wbr/>v");
    EXPECT_EQ(Fragment(u"<img src=a></img>x"), u"<img src=\"a\"/>x");
    EXPECT_EQ(Fragment(u"a</br>b"), u"a<br/>b");
}

TEST(HtmlFragment, EndsAParagraphWhereABlockStarts) {
    EXPECT_EQ(Fragment(u"<p>a<p>b<div>c</div>"), u"<p>a</p><p>b</p><div>c</div>");
    EXPECT_EQ(Fragment(u"<p>a<b>b<div>c"), u"<p>a<b>b</b></p><div>c</div>");
    EXPECT_EQ(Fragment(u"<ul><li>a<li>b</ul>"), u"<ul><li>a</li><li>b</li></ul>");
    EXPECT_EQ(Fragment(u"<h1>a<h2>b</h1>c"), u"<h1>a</h1><h2>b</h2>c");
}

TEST(HtmlFragment, LetsANewLinkEndTheOpenOne) {
    EXPECT_EQ(Fragment(u"<a href=1>x<a href=2>y"), u"<a href=\"1\">x</a><a href=\"2\">y</a>");
}

TEST(HtmlFragment, KeepsScriptAndStyleContentAsOneRawTextChild) {
    EXPECT_EQ(Fragment(u"<script>if (a<b && c) x('<b>')</script>t"), u"<script>if (a<b && c) x('<b>')</script>t");
    EXPECT_EQ(Fragment(u"<style>b{color:red}</style>"), u"<style>b{color:red}</style>");
    EXPECT_EQ(Fragment(u"<script>never closed <b>"), u"<script>never closed <b></script>");
    EXPECT_EQ(Fragment(u"<title>&lt;t&gt;</title>"), u"<title><t></title>");
    const auto root = html::ParseFragment(u"<script>a</b>c</script>");
    ASSERT_EQ(root->children[0]->children.size(), 1u);
    EXPECT_EQ(root->children[0]->children[0]->text, u"a</b>c");
}

TEST(HtmlFragment, IgnoresDocumentLevelTags) { EXPECT_EQ(Fragment(u"<html><head><body bgcolor=red>x"), u"x"); }

TEST(HtmlTable, ImpliesRowGroupsAndRows) {
    EXPECT_EQ(Fragment(u"<table><tr><td>a<td>b</table>"),
              u"<table><tbody><tr><td>a</td><td>b</td></tr></tbody></table>");
    EXPECT_EQ(Fragment(u"<table><th>a</table>"), u"<table><tbody><tr><th>a</th></tr></tbody></table>");
    EXPECT_EQ(Fragment(u"<table><thead><th>h<tbody><td>1<tr><td>2<tfoot><td>f</table>"),
              u"<table><thead><tr><th>h</th></tr></thead><tbody><tr><td>1</td></tr><tr><td>2</td></tr></tbody>"
              u"<tfoot><tr><td>f</td></tr></tfoot></table>");
}

TEST(HtmlTable, ClosesWhatIsOpenInsideAndIgnoresEndTagsThatDoNotMatch) {
    EXPECT_EQ(Fragment(u"<table><tr><td><b>a</tr><tr><td>b</td></tr></tbody></table>x"),
              u"<table><tbody><tr><td><b>a</b></td></tr><tr><td>b</td></tr></tbody></table>x");
    EXPECT_EQ(Fragment(u"<table><tr><td>a<p>b</table>c"),
              u"<table><tbody><tr><td>a<p>b</p></td></tr></tbody></table>c");
    EXPECT_EQ(Fragment(u"<table><tr><td>a</th></thead></caption></colgroup>b</td></tr></table>"),
              u"<table><tbody><tr><td>ab</td></tr></tbody></table>");
}

TEST(HtmlTable, NestsInACellButEndsTheOpenTableOutsideOne) {
    EXPECT_EQ(Fragment(u"<table><tr><td><table><tr><td>in</table>out</table>"),
              u"<table><tbody><tr><td><table><tbody><tr><td>in</td></tr></tbody></table>out</td></tr></tbody></table>");
    EXPECT_EQ(Fragment(u"<table><tr><td>1</td><table><td>2</table>"),
              u"<table><tbody><tr><td>1</td></tr></tbody></table><table><tbody><tr><td>2</td></tr></tbody></table>");
}

TEST(HtmlTable, PutsWhatATableMayNotHoldBeforeIt) {
    EXPECT_EQ(Fragment(u"a<table>b<tr>c<td>d</td>e</tr> </table>f"),
              u"abce<table><tbody><tr><td>d</td></tr> </tbody></table>f");
    EXPECT_EQ(Fragment(u"<table><font color=red>x<tr><td>y</table>"),
              u"<font color=\"red\">x</font><table><tbody><tr><td>y</td></tr></tbody></table>");
    // A notice's table written over several lines, once the chat program has
    // made each line feed "<br>&nbsp".
    EXPECT_EQ(Fragment(u"공지<br>&nbsp<table border=1><br>&nbsp<tr><td>a</td></tr><br>&nbsp</table><br>&nbsp"),
              u"공지<br/>\u00A0<br/>\u00A0<br/>\u00A0<table "
              u"border=\"1\"><tbody><tr><td>a</td></tr></tbody></table><br/>\u00A0");
}

TEST(HtmlTable, KeepsCaptionsAndColumnGroups) {
    EXPECT_EQ(Fragment(u"<table><caption>t<td>x</table>"),
              u"<table><caption>t</caption><tbody><tr><td>x</td></tr></tbody></table>");
    EXPECT_EQ(
        Fragment(u"<table><col width=10><colgroup><col span=2></colgroup><tr>"),
        u"<table><colgroup><col width=\"10\"/></colgroup><colgroup><col span=\"2\"/></colgroup><tbody><tr/></tbody>"
        u"</table>");
}

TEST(HtmlTable, KeepsTagsFromReachingAcrossTheTable) {
    EXPECT_EQ(Fragment(u"a</td>b</tr>c</table>d<td>e<tr>f<caption>g"), u"abcdefg");
    EXPECT_EQ(Fragment(u"<div><table><tr><td>a</div>b</table>c"),
              u"<div><table><tbody><tr><td>ab</td></tr></tbody></table>c</div>");
    EXPECT_EQ(Fragment(u"<a href=1><table><tr><td><a href=2>x</a>y</table>"),
              u"<a href=\"1\"><table><tbody><tr><td><a href=\"2\">x</a>y</td></tr></tbody></table></a>");
    // The template has no DOCTYPE: in quirks mode a table stays in the paragraph.
    EXPECT_EQ(Fragment(u"<p>a<table><tr><td>b</table>c"),
              u"<p>a<table><tbody><tr><td>b</td></tr></tbody></table>c</p>");
}

constexpr std::u16string_view kTemplate =
    u"<HTML><head><style>body {scrollbar-3dlight-color:595959; scrollbar-arrow-color:ffffff; "
    u"scrollbar-base-color:cfcfcf; scrollbar-darkshadow-color:ffffff; scrollbar-face-color:cfcfcf; "
    u"scrollbar-highlight-color:fffff; scrollbar-shadow-color:595959; font-family:\"Tahoma\",\"굴림\"; "
    u"font-size:8pt; color:#000000}</style><base target=\"_blank\"></head>"
    u"<body topmargin=\"0\" leftmargin=\"0\" bottomMargin=\"0\">\r\n\t\r\n</body></HTML>";

TEST(HtmlDocument, BuildsTheTemplatesTree) {
    const auto document = html::ParseDocument(kTemplate);
    ASSERT_EQ(document->name, u"html");
    ASSERT_EQ(document->children.size(), 2u);
    const html::Node& head = *document->children[0];
    const html::Node& body = *document->children[1];
    ASSERT_TRUE(head.IsElement(u"head"));
    ASSERT_EQ(head.children.size(), 2u);
    EXPECT_TRUE(head.children[0]->IsElement(u"style"));
    EXPECT_TRUE(head.children[1]->IsElement(u"base"));
    EXPECT_EQ(*head.children[1]->FindAttribute(u"target"), u"_blank");
    ASSERT_TRUE(body.IsElement(u"body"));
    ASSERT_NE(body.FindAttribute(u"bottommargin"), nullptr);
    EXPECT_EQ(*body.FindAttribute(u"bottommargin"), u"0");
    EXPECT_EQ(body.FindAttribute(u"bottomMargin"), nullptr);
    ASSERT_EQ(body.children.size(), 1u);
    EXPECT_EQ(body.children[0]->text, u"\n\t\n");
}

TEST(HtmlDocument, ImpliesHeadAndBody) {
    EXPECT_EQ(Document(u""), u"<head/><body/>");
    EXPECT_EQ(Document(u"  hello"), u"<head/><body>hello</body>");
    EXPECT_EQ(Document(u"<title>t</title><b>x"), u"<head><title>t</title></head><body><b>x</b></body>");
    EXPECT_EQ(Document(u"<html lang=ko><body>x</body></html>"), u"<head/><body>x</body>");
    EXPECT_EQ(Document(u"<table>x"), u"<head/><body>x<table/></body>");
    EXPECT_EQ(*html::ParseDocument(u"<html lang=ko>")->FindAttribute(u"lang"), u"ko");
}

TEST(HtmlDocument, PutsHeadElementsAfterTheHeadIntoTheHead) {
    EXPECT_EQ(Document(u"<head></head><style>s</style><body>x"), u"<head><style>s</style></head><body>x</body>");
}

TEST(HtmlDocument, KeepsContentAfterTheBodyInTheBody) {
    EXPECT_EQ(Document(u"<body>a</body>b</html>c"), u"<head/><body>abc</body>");
    EXPECT_EQ(Document(u"<body topmargin=1><body topmargin=2 x=3>"), u"<head/><body topmargin=\"1\" x=\"3\"/>");
}

}  // namespace
