// DumpTree, TreeDepth: compact views of a parsed tree for the parser's tests.
//
// An element prints as <name a="v">children</name>, or <name a="v"/> when it
// has no children; text prints as it is. Both walk with an explicit stack, as
// the trees under test may be very deep.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "framework/html/HtmlNode.h"

namespace html_test {

inline std::u16string DumpTree(const html::Node& root) {
    std::u16string out;
    std::vector<std::pair<const html::Node*, std::size_t>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->children.size()) {
            if (node != &root && !node->children.empty()) out += u"</" + node->name + u">";
            stack.pop_back();
            continue;
        }
        const html::Node& child = *node->children[next++];
        if (child.kind == html::Node::Kind::Text) {
            out += child.text;
            continue;
        }
        out += u"<" + child.name;
        for (const html::Attribute& attribute : child.attributes)
            out += u" " + attribute.name + u"=\"" + attribute.value + u"\"";
        out += child.children.empty() ? u"/>" : u">";
        if (!child.children.empty()) stack.emplace_back(&child, 0);
    }
    return out;
}

// Levels of elements below the root, and the number of nodes below it.
struct TreeShape {
    std::size_t depth = 0;
    std::size_t nodes = 0;
};

inline TreeShape ShapeOf(const html::Node& root) {
    TreeShape shape;
    std::vector<std::pair<const html::Node*, std::size_t>> stack{{&root, 0}};
    while (!stack.empty()) {
        const auto [node, level] = stack.back();
        stack.pop_back();
        shape.depth = std::max(shape.depth, level);
        for (const auto& child : node->children) {
            ++shape.nodes;
            stack.emplace_back(child.get(), level + 1);
        }
    }
    return shape;
}

}  // namespace html_test
