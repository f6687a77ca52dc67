// TreeBuilder: tokens to a tree, for body-context fragments and whole
// documents.
//
// A simplification of the HTML standard's tree construction, kept to what the
// pane shows: a stack of open elements and the insertion modes from "before
// head" to "in body". Tables, forms and the adoption agency for mis-nested
// formatting tags are left out: an end tag closes the nearest open element of
// its name with everything opened after it, or is dropped when none is open,
// so "<b><i></b></i>" gives b > i and nothing worse. The pane keeps no DOM, so
// what browsers do only for scripts' sake does not matter here.
//
// Depth is capped: once kMaximumTreeDepth elements are open, a new element
// first closes the innermost one, so it becomes that one's next sibling and
// the tree never gets deeper. With the cap every scan of the stack is bounded,
// and consumers that walk the tree are safe from deep recursion.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "HtmlNode.h"
#include "HtmlTokenizer.h"

namespace html {

inline constexpr std::size_t kMaximumTreeDepth = 512;

class TreeBuilder {
public:
    enum class Mode { Fragment, Document };

    explicit TreeBuilder(Mode mode);

    std::unique_ptr<Node> Build(std::u16string_view markup);

private:
    enum class InsertionMode { BeforeHead, InHead, AfterHead, InBody, Text };
    enum class Handling { Done, Reprocess };

    Handling Process(Token& token);
    Handling ProcessBeforeHead(Token& token);
    Handling ProcessInHead(Token& token);
    Handling ProcessAfterHead(Token& token);
    Handling ProcessInBody(Token& token);
    Handling ProcessText(Token& token);

    void StartTagInBody(Token& token);
    void EndTagInBody(const Token& token);
    // Head elements (style, title, base...) wherever they appear.
    bool InsertIfHeadElement(Token& token);

    Node* CurrentNode() const { return m_openElements.back(); }
    Node* InsertElement(Token& token);
    void InsertVoidElement(Token& token);
    void InsertRawTextElement(Token& token, Tokenizer::ContentModel model);
    void InsertText(std::u16string_view text);
    void MergeAttributes(Node& element, std::vector<Attribute>& attributes);

    // Index in the stack of the innermost open `name` with no boundary
    // element above it, or npos.
    std::size_t FindInScope(std::u16string_view name, std::initializer_list<std::u16string_view> boundaries) const;
    void PopThrough(std::size_t index);
    void ClosePInButtonScope();
    void CreateBody();

    Mode m_mode;
    InsertionMode m_insertionMode = InsertionMode::InBody;
    InsertionMode m_originalInsertionMode = InsertionMode::InBody;
    Tokenizer* m_tokenizer = nullptr;
    std::unique_ptr<Node> m_root;
    Node* m_head = nullptr;
    Node* m_body = nullptr;
    std::vector<Node*> m_openElements;
};

}  // namespace html
