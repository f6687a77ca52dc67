#include "HtmlNode.h"

namespace html {

Node::~Node() {
    // Detach every descendant onto a local stack first, so each node dies
    // childless and no destructor call nests inside another.
    std::vector<std::unique_ptr<Node>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<Node> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children) pending.push_back(std::move(child));
        node->children.clear();
    }
}

std::unique_ptr<Node> Node::MakeElement(std::u16string name) {
    auto node = std::make_unique<Node>();
    node->kind = Kind::Element;
    node->name = std::move(name);
    return node;
}

std::unique_ptr<Node> Node::MakeText(std::u16string text) {
    auto node = std::make_unique<Node>();
    node->kind = Kind::Text;
    node->text = std::move(text);
    return node;
}

const std::u16string* Node::FindAttribute(std::u16string_view attributeName) const {
    for (const Attribute& attribute : attributes) {
        if (attribute.name == attributeName) return &attribute.value;
    }
    return nullptr;
}

}  // namespace html
