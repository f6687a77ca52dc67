// TreeBuilder: tokens to a tree, for body-context fragments and whole
// documents.
//
// A simplification of the HTML standard's tree construction, kept to what the
// pane shows: a stack of open elements, the insertion modes from "before
// head" to "in body", and the table modes (table, row group, row, cell,
// caption, column group). Forms and the adoption agency for mis-nested
// formatting tags are left out: an end tag closes the nearest open element of
// its name with everything opened after it, or is dropped when none is open
// short of a table, cell or caption, so "<b><i></b></i>" gives b > i and
// nothing worse. The pane keeps no DOM, so what browsers do only for scripts'
// sake does not matter here.
//
// Tables come out as browsers build them: <tbody> and <tr> are implied, a new
// cell, row or row group closes the open one, and what a table may not hold
// (text other than white space, <br>, <font>, any other element) is "foster
// parented": it goes just before the table, in the table's parent. <colgroup>
// and <col> are kept, an implied <colgroup> around a bare <col>. Inside a cell
// or caption everything reads as in the body, and the cell bounds the end
// tags. Rather than a mode variable to reset after every pop, the table modes
// follow from the innermost open table part, so no pop can leave them stale.
//
// Depth is capped: once kMaximumTreeDepth elements are open, a new element
// first closes the innermost one, so it becomes that one's next sibling and
// the tree never gets deeper. With the cap every scan of the stack is bounded,
// and consumers that walk the tree are safe from deep recursion. At the cap a
// table part can be closed that way too; the tree stays bounded, if odd.
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
    enum class InsertionMode {
        BeforeHead,
        InHead,
        AfterHead,
        InBody,
        Text,
        // Only ever derived from the open table parts, never stored.
        InTable,
        InTableBody,
        InRow,
        InCell,
        InCaption,
        InColumnGroup
    };
    enum class Handling { Done, Reprocess };

    Handling Process(Token& token);
    InsertionMode ModeInBody() const;
    Handling ProcessBeforeHead(Token& token);
    Handling ProcessInHead(Token& token);
    Handling ProcessAfterHead(Token& token);
    Handling ProcessInBody(Token& token);
    Handling ProcessText(Token& token);
    Handling ProcessInTable(Token& token);
    Handling ProcessInTableBody(Token& token);
    Handling ProcessInRow(Token& token);
    Handling ProcessInCellOrCaption(Token& token);
    Handling ProcessInColumnGroup(Token& token);
    bool EndsTablePart(const Token& token) const;
    // Closes the innermost open table part.
    Handling CloseTablePart(const Token& token);
    // In-body rules for what a table may not hold.
    Handling ProcessFosterParented(Token& token);

    void StartTagInBody(Token& token);
    void EndTagInBody(const Token& token);
    // Head elements (style, title, base...) wherever they appear.
    bool InsertIfHeadElement(Token& token);

    // Where the next node goes: at the end of the current node, or, while
    // fostering out of a table, just before the innermost open table.
    struct Place {
        Node* parent;
        std::size_t position;
    };

    Node* CurrentNode() const { return m_openElements.back(); }
    Place AppropriatePlace() const;
    Node* InsertElement(Token& token);
    Node* InsertImpliedElement(std::u16string name);
    void InsertVoidElement(Token& token);
    // Makes an element of the token and puts it in place, without opening it.
    Node* PlaceElement(Token& token);
    void InsertRawTextElement(Token& token, Tokenizer::ContentModel model);
    void InsertText(std::u16string_view text);
    void MergeAttributes(Node& element, std::vector<Attribute>& attributes);

    // Index in the stack of the innermost open `name` with no boundary
    // element above it, or npos.
    std::size_t FindInScope(std::u16string_view name, std::initializer_list<std::u16string_view> boundaries) const;
    // Index in the stack of the innermost open table part named one of
    // `names`, not looking past the innermost table, or npos.
    std::size_t FindInTableScope(std::initializer_list<std::u16string_view> names) const;
    std::size_t CurrentTablePart() const { return m_tableParts.back(); }
    // Pops the elements above index, or does nothing for npos.
    void PopAbove(std::size_t index);
    void PopThrough(std::size_t index);
    void ClosePInButtonScope();

    Mode m_mode;
    InsertionMode m_insertionMode = InsertionMode::InBody;
    InsertionMode m_originalInsertionMode = InsertionMode::InBody;
    Tokenizer* m_tokenizer = nullptr;
    std::unique_ptr<Node> m_root;
    Node* m_head = nullptr;
    Node* m_body = nullptr;
    std::vector<Node*> m_openElements;
    // Indices in m_openElements of the open table, tbody, thead, tfoot, tr,
    // td, th, caption and colgroup elements, innermost last.
    std::vector<std::size_t> m_tableParts;
    bool m_fosterParenting = false;
};

}  // namespace html
