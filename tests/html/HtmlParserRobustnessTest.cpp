// Hostile input: whatever arrives from the network must parse without deep
// recursion, in time linear in its size. A quadratic path over these inputs
// would take minutes, so a generous time limit tells the two apart.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "framework/html/HtmlParser.h"
#include "framework/html/HtmlTreeBuilder.h"
#include "HtmlTreeDump.h"

namespace {

using html_test::ShapeOf;

std::u16string Repeat(std::u16string_view piece, std::size_t count) {
    std::u16string out;
    out.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i) out.append(piece);
    return out;
}

// Parses, inspects and destroys the tree within the time limit.
html_test::TreeShape ParseWithinLimit(const std::u16string& markup) {
    constexpr double kLimitSeconds = 10;
    const std::clock_t start = std::clock();
    html_test::TreeShape shape = ShapeOf(*html::ParseFragment(markup));
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_LT(seconds, kLimitSeconds) << "for " << markup.size() << " characters";
    return shape;
}

TEST(HtmlParserRobustness, CapsTheDepthOfAHundredThousandNestedTags) {
    const auto shape = ParseWithinLimit(Repeat(u"<b>", 100000) + u"x");
    EXPECT_EQ(shape.nodes, 100001u);  // every element kept, plus the text
    EXPECT_LE(shape.depth, html::kMaximumTreeDepth + 1);

    const auto tables = ParseWithinLimit(Repeat(u"<table><tr><td>", 10000) + u"x");
    EXPECT_EQ(tables.nodes, 40001u);  // each table with its implied row group
    EXPECT_LE(tables.depth, html::kMaximumTreeDepth + 1);
}

TEST(HtmlParserRobustness, KeepsTextInsideTheDeepestElements) {
    const auto root = html::ParseFragment(Repeat(u"<i>", 2000) + u"deep");
    const html::Node* node = root.get();
    while (!node->children.empty()) node = node->children.back().get();
    EXPECT_EQ(node->text, u"deep");
}

TEST(HtmlParserRobustness, ScansABoundedStackForEveryEndTagAndBlock) {
    ParseWithinLimit(Repeat(u"<b>", 100000) + Repeat(u"</i>", 100000));
    ParseWithinLimit(Repeat(u"<b><div><p><li>", 50000));
    ParseWithinLimit(Repeat(u"<a href=x>", 100000));
    // Each cell closes the one before, and what is fostered goes beside its
    // table without a search.
    EXPECT_EQ(ParseWithinLimit(u"<table><tr>" + Repeat(u"<td>x", 100000)).depth, 5u);
    ParseWithinLimit(Repeat(u"<table><b>x<tr><td>", 10000) + u"</td>" + Repeat(u"<br>&nbsp", 100000));
}

TEST(HtmlParserRobustness, HandlesTenThousandAttributes) {
    std::u16string tag = u"<font";
    for (int i = 0; i < 10000; ++i)
        tag += u" a" + std::u16string(1, char16_t(u'a' + i % 26)) + std::u16string(1, char16_t(u'a' + i / 26 % 26)) +
               std::u16string(1, char16_t(u'a' + i / 676)) + u"=v";
    const auto root = html::ParseFragment(tag + u">x");
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(root->children[0]->attributes.size(), 10000u);

    const auto repeated = html::ParseFragment(u"<font" + Repeat(u" color=red", 100000) + u">");
    EXPECT_EQ(repeated->children[0]->attributes.size(), 1u);
}

TEST(HtmlParserRobustness, KeepsAMegabyteWordWhole) {
    const std::u16string word(1 << 20, u'가');
    const auto root = html::ParseFragment(u"<b>" + word + u"</b>");
    EXPECT_EQ(root->children[0]->children[0]->text.size(), word.size());
}

TEST(HtmlParserRobustness, StaysLinearOnRepeatedPartialConstructs) {
    ParseWithinLimit(Repeat(u"&", 1 << 20));
    ParseWithinLimit(Repeat(u"&notin", 200000));
    ParseWithinLimit(Repeat(u"&#x", 200000));
    ParseWithinLimit(Repeat(u"<!--", 200000));
    ParseWithinLimit(Repeat(u"<", 1 << 20));
    ParseWithinLimit(u"<script>" + Repeat(u"</scrip", 200000));
    ParseWithinLimit(Repeat(u"<a b='", 100000));
}

TEST(HtmlNode, DestroysAMillionDeepChainWithoutRecursing) {
    auto root = html::Node::MakeElement(u"b");
    html::Node* tip = root.get();
    for (int i = 0; i < 1000000; ++i) {
        tip->children.push_back(html::Node::MakeElement(u"b"));
        tip = tip->children.back().get();
    }
    root.reset();
    SUCCEED();
}

}  // namespace
