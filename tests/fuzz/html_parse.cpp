// The HTML tokenizer and tree building, for a fragment (as chat lines are
// parsed) and for a whole document (as the pane's template is), with the
// template style and legacy colours read from the result.
//
// Properties: the tokenizer emits at most one token per input unit before
// its end and then only end-of-file; fragment and document trees stay within
// the depth cap; a document has exactly one head and one body.
#include "framework/html/HtmlParser.h"
#include "framework/html/HtmlTokenizer.h"
#include "framework/html/HtmlTreeBuilder.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/html/HtmlTreeDump.h"

namespace {

void Tokenize(std::u16string_view text) {
    html::Tokenizer tokenizer(text);
    size_t tokens = 0;
    while (tokenizer.Next().type != html::Token::Type::EndOfFile) {
        FUZZ_CHECK(++tokens <= text.size());
    }
    FUZZ_CHECK(tokenizer.Next().type == html::Token::Type::EndOfFile);
}

// Every attribute value read as a legacy colour, as font color is.
void ReadColours(const html::Node& root) {
    std::vector<const html::Node*> stack{&root};
    while (!stack.empty()) {
        const html::Node* node = stack.back();
        stack.pop_back();
        FUZZ_CHECK(node->kind == html::Node::Kind::Element || node->children.empty());
        for (const html::Attribute& attribute : node->attributes) html::ParseLegacyColor(attribute.value);
        for (const auto& child : node->children) stack.push_back(child.get());
    }
}

void ParseAsFragment(std::u16string_view text) {
    const std::unique_ptr<html::Node> root = html::ParseFragment(text);
    FUZZ_CHECK(root && root->name.empty());
    FUZZ_CHECK(html_test::ShapeOf(*root).depth <= html::kMaximumTreeDepth + 1);
    ReadColours(*root);
}

void ParseAsDocument(std::u16string_view text) {
    const std::unique_ptr<html::Node> root = html::ParseDocument(text);
    FUZZ_CHECK(root && root->IsElement(u"html"));
    FUZZ_CHECK(html_test::ShapeOf(*root).depth <= html::kMaximumTreeDepth + 1);
    size_t heads = 0;
    size_t bodies = 0;
    for (const auto& child : root->children) {
        heads += child->IsElement(u"head");
        bodies += child->IsElement(u"body");
    }
    FUZZ_CHECK(heads == 1 && bodies == 1);
    html::ReadTemplateStyle(*root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::u16string text = fuzz::HtmlTextOf(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1),
                                                 fuzz::WantsUtf16(data[0]));
    Tokenize(text);
    ParseAsFragment(text);
    ParseAsDocument(text);
    return 0;
}
