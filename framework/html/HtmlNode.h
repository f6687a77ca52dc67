// Attribute, Node: the parsed HTML tree the parser hands to the document.
//
// Deliberately a plain tree rather than a DOM: the pane keeps its own compact
// flow of styled runs, so this tree only lives from parsing to that flow.
// Trees may be arbitrarily deep (a chat line can open 100,000 <b>), so the
// destructor takes children apart with an explicit stack instead of letting
// std::unique_ptr recurse, and consumers must walk it iteratively too.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace html {

struct Attribute {
    std::u16string name;  // lower-case
    std::u16string value;
};

struct Node {
    enum class Kind { Element, Text };

    Kind kind = Kind::Element;
    std::u16string name;  // element: lower-case tag name; empty for a fragment's root
    std::vector<Attribute> attributes;
    std::u16string text;  // text node: references resolved, line ends already LF
    std::vector<std::unique_ptr<Node>> children;

    Node() = default;
    Node(Node&&) = default;
    Node& operator=(Node&&) = default;
    ~Node();

    static std::unique_ptr<Node> MakeElement(std::u16string name);
    static std::unique_ptr<Node> MakeText(std::u16string text);

    bool IsElement(std::u16string_view tagName) const { return kind == Kind::Element && name == tagName; }
    // Value of the attribute `name` (lower-case), or nullptr when absent.
    const std::u16string* FindAttribute(std::u16string_view attributeName) const;
};

}  // namespace html
