#include "HtmlTreeBuilder.h"

#include <algorithm>
#include <unordered_set>

#include "HtmlParser.h"
#include "TextUnits.h"

namespace html {
namespace {

constexpr ElementNames kVoidElements = {u"area",  u"base",  u"basefont", u"bgsound", u"br",     u"col",
                                        u"embed", u"hr",    u"img",      u"input",   u"keygen", u"link",
                                        u"meta",  u"param", u"source",   u"track",   u"wbr"};
constexpr ElementNames kHeadings = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};
// Start tags that end an open paragraph. The template has no DOCTYPE, so the
// document is in quirks mode, where <table> does not.
constexpr ElementNames kClosesParagraph = {
    u"address",  u"article",    u"aside",   u"blockquote", u"center", u"details", u"dialog", u"dir",  u"div", u"dl",
    u"fieldset", u"figcaption", u"figure",  u"footer",     u"header", u"hgroup",  u"main",   u"menu", u"nav", u"ol",
    u"p",        u"search",     u"section", u"summary",    u"ul",     u"h1",      u"h2",     u"h3",   u"h4",  u"h5",
    u"h6",       u"pre",        u"listing", u"form",       u"hr",     u"xmp",     u"li",     u"dd",   u"dt"};
constexpr ElementNames kScopeBoundaries = {u"applet", u"caption", u"html",   u"table",   u"td",
                                           u"th",     u"marquee", u"object", u"template"};
constexpr ElementNames kButtonScopeBoundaries = {u"applet", u"caption", u"html",   u"table",    u"td",
                                                 u"th",     u"marquee", u"object", u"template", u"button"};
constexpr ElementNames kListItemScopeBoundaries = {u"applet",  u"caption", u"html",     u"table", u"td", u"th",
                                                   u"marquee", u"object",  u"template", u"ol",    u"ul"};
constexpr ElementNames kDefinitionScopeBoundaries = {u"applet", u"caption", u"html",   u"table",    u"td",
                                                     u"th",     u"marquee", u"object", u"template", u"dl"};

// The elements whose opening and closing shape a table; the table modes
// follow from the innermost one open.
constexpr ElementNames kTableParts = {u"table", u"tbody", u"thead",   u"tfoot",   u"tr",
                                      u"td",    u"th",    u"caption", u"colgroup"};
constexpr ElementNames kRowGroups = {u"tbody", u"thead", u"tfoot"};
constexpr ElementNames kCells = {u"td", u"th"};
// Tags that mean something only inside a table: the body drops them, and an
// open cell, caption, row or row group ends before one is read.
constexpr ElementNames kTableStructure = {u"caption", u"col", u"colgroup", u"tbody", u"td",
                                          u"tfoot",   u"th",  u"thead",    u"tr"};
// Elements that hold only table parts and white space: anything else that
// comes while one is the current node goes before the table. The end of one
// also ends a cell inside it.
constexpr ElementNames kTableContainers = {u"table", u"tbody", u"thead", u"tfoot", u"tr"};

// Takes the leading white space off a characters token.
std::u16string TakeLeadingWhitespace(Token& token) {
    const auto first = std::find_if_not(token.data.begin(), token.data.end(), IsHtmlWhitespace);
    std::u16string whitespace(token.data.begin(), first);
    token.data.erase(token.data.begin(), first);
    return whitespace;
}

// Drops leading white space from a characters token; true when none is left.
bool StripLeadingWhitespace(Token& token) {
    TakeLeadingWhitespace(token);
    return token.data.empty();
}

bool IsWhitespaceOnly(std::u16string_view text) { return std::all_of(text.begin(), text.end(), IsHtmlWhitespace); }

Token MakeStartTag(std::u16string name) {
    Token token;
    token.type = Token::Type::StartTag;
    token.name = std::move(name);
    return token;
}

bool IsStartTag(const Token& token, std::u16string_view name) {
    return token.type == Token::Type::StartTag && token.name == name;
}

bool IsEndTag(const Token& token, std::u16string_view name) {
    return token.type == Token::Type::EndTag && token.name == name;
}

// End tags that, before the body, imply what is missing rather than being
// ignored.
bool IsEndTagThatImpliesBody(const Token& token) {
    return token.type == Token::Type::EndTag && IsOneOf(token.name, {u"head", u"body", u"html", u"br"});
}

}  // namespace

TreeBuilder::TreeBuilder(Mode mode) : m_mode(mode) {}

std::unique_ptr<Node> TreeBuilder::Build(std::u16string_view markup) {
    Tokenizer tokenizer(markup);
    m_tokenizer = &tokenizer;
    m_root = Node::MakeElement(m_mode == Mode::Document ? u"html" : u"");
    m_openElements.assign(1, m_root.get());
    m_insertionMode = m_mode == Mode::Document ? InsertionMode::BeforeHead : InsertionMode::InBody;
    m_head = nullptr;
    m_body = nullptr;
    m_tableParts.clear();
    m_fosterParenting = false;

    for (;;) {
        Token token = tokenizer.Next();
        while (Process(token) == Handling::Reprocess) {
        }
        if (token.type == Token::Type::EndOfFile) break;
    }
    m_tokenizer = nullptr;
    m_openElements.clear();
    return std::move(m_root);
}

TreeBuilder::Handling TreeBuilder::Process(Token& token) {
    if (token.type == Token::Type::Comment) return Handling::Done;
    const InsertionMode mode = m_insertionMode == InsertionMode::InBody ? ModeInBody() : m_insertionMode;
    switch (mode) {
    case InsertionMode::BeforeHead: return ProcessBeforeHead(token);
    case InsertionMode::InHead: return ProcessInHead(token);
    case InsertionMode::AfterHead: return ProcessAfterHead(token);
    case InsertionMode::InBody: return ProcessInBody(token);
    case InsertionMode::Text: return ProcessText(token);
    case InsertionMode::InTable: return ProcessInTable(token);
    case InsertionMode::InTableBody: return ProcessInTableBody(token);
    case InsertionMode::InRow: return ProcessInRow(token);
    case InsertionMode::InCell:
    case InsertionMode::InCaption: return ProcessInCellOrCaption(token);
    case InsertionMode::InColumnGroup: return ProcessInColumnGroup(token);
    }
    return Handling::Done;
}

// The standard resets the mode after each pop that may close a table part;
// deriving it from the innermost open part gives the same answer and cannot
// go stale, not even when the depth cap closes a part.
TreeBuilder::InsertionMode TreeBuilder::ModeInBody() const {
    if (m_tableParts.empty()) return InsertionMode::InBody;
    const std::u16string_view part = m_openElements[CurrentTablePart()]->name;
    if (part == u"table") return InsertionMode::InTable;
    if (IsOneOf(part, kRowGroups)) return InsertionMode::InTableBody;
    if (part == u"tr") return InsertionMode::InRow;
    if (part == u"caption") return InsertionMode::InCaption;
    if (part == u"colgroup") return InsertionMode::InColumnGroup;
    return InsertionMode::InCell;
}

// The "before html" mode has nothing left to do once the root exists, so
// its one duty, taking <html>'s attributes, is done wherever <html> appears.
TreeBuilder::Handling TreeBuilder::ProcessBeforeHead(Token& token) {
    if (token.type == Token::Type::Characters && StripLeadingWhitespace(token)) return Handling::Done;
    if (IsStartTag(token, u"html")) {
        MergeAttributes(*m_root, token.attributes);
        return Handling::Done;
    }
    if (IsStartTag(token, u"head")) {
        m_head = InsertElement(token);
        m_insertionMode = InsertionMode::InHead;
        return Handling::Done;
    }
    if (token.type == Token::Type::EndTag && !IsEndTagThatImpliesBody(token)) return Handling::Done;
    m_head = InsertImpliedElement(u"head");
    m_insertionMode = InsertionMode::InHead;
    return Handling::Reprocess;
}

TreeBuilder::Handling TreeBuilder::ProcessInHead(Token& token) {
    if (token.type == Token::Type::Characters && StripLeadingWhitespace(token)) return Handling::Done;
    if (IsStartTag(token, u"html")) {
        MergeAttributes(*m_root, token.attributes);
        return Handling::Done;
    }
    if (IsStartTag(token, u"head") || InsertIfHeadElement(token)) return Handling::Done;
    const bool explicitEnd = IsEndTag(token, u"head");
    if (token.type == Token::Type::EndTag && !explicitEnd && !IsEndTagThatImpliesBody(token)) return Handling::Done;
    m_openElements.pop_back();  // the head
    m_insertionMode = InsertionMode::AfterHead;
    return explicitEnd ? Handling::Done : Handling::Reprocess;
}

TreeBuilder::Handling TreeBuilder::ProcessAfterHead(Token& token) {
    if (token.type == Token::Type::Characters && StripLeadingWhitespace(token)) return Handling::Done;
    if (IsStartTag(token, u"html")) {
        MergeAttributes(*m_root, token.attributes);
        return Handling::Done;
    }
    if (IsStartTag(token, u"body")) {
        m_body = InsertElement(token);
        m_insertionMode = InsertionMode::InBody;
        return Handling::Done;
    }
    if (IsStartTag(token, u"head")) return Handling::Done;
    // A head element after </head> still belongs to the head.
    m_openElements.push_back(m_head);
    const bool wasHeadElement = InsertIfHeadElement(token);
    m_openElements.erase(std::find(m_openElements.begin(), m_openElements.end(), m_head));
    if (wasHeadElement) return Handling::Done;
    if (token.type == Token::Type::EndTag && !IsEndTagThatImpliesBody(token)) return Handling::Done;
    m_body = InsertImpliedElement(u"body");
    m_insertionMode = InsertionMode::InBody;
    return Handling::Reprocess;
}

TreeBuilder::Handling TreeBuilder::ProcessInBody(Token& token) {
    switch (token.type) {
    case Token::Type::Characters: InsertText(token.data); break;
    case Token::Type::StartTag: StartTagInBody(token); break;
    case Token::Type::EndTag: EndTagInBody(token); break;
    case Token::Type::Comment:
    case Token::Type::EndOfFile: break;
    }
    return Handling::Done;
}

// The standard's "text" mode: inside style, script, title and the like, where
// the tokenizer only gives characters and the one end tag that closes them.
TreeBuilder::Handling TreeBuilder::ProcessText(Token& token) {
    if (token.type == Token::Type::Characters) {
        InsertText(token.data);
        return Handling::Done;
    }
    m_openElements.pop_back();
    m_insertionMode = m_originalInsertionMode;
    return token.type == Token::Type::EndOfFile ? Handling::Reprocess : Handling::Done;
}

TreeBuilder::Handling TreeBuilder::ProcessInTable(Token& token) {
    if (token.type == Token::Type::Characters && IsWhitespaceOnly(token.data)) {
        InsertText(token.data);
        return Handling::Done;
    }
    if (IsStartTag(token, u"style") || IsStartTag(token, u"script")) {
        InsertIfHeadElement(token);
        return Handling::Done;
    }
    const std::size_t table = FindInTableScope({u"table"});
    if (IsStartTag(token, u"table")) {  // a table in a table ends the first
        PopThrough(table);
        return table == std::u16string_view::npos ? Handling::Done : Handling::Reprocess;
    }
    if (IsEndTag(token, u"table")) {
        PopThrough(table);
        return Handling::Done;
    }
    if (token.type == Token::Type::EndTag && IsOneOf(token.name, kTableStructure)) return Handling::Done;
    if (token.type != Token::Type::StartTag || !IsOneOf(token.name, kTableStructure))
        return ProcessFosterParented(token);

    PopAbove(table);
    if (token.name == u"col") {
        InsertImpliedElement(u"colgroup");
        return Handling::Reprocess;
    }
    if (IsOneOf(token.name, {u"tr", u"td", u"th"})) {
        InsertImpliedElement(u"tbody");
        return Handling::Reprocess;
    }
    InsertElement(token);  // caption, colgroup or a row group
    return Handling::Done;
}

TreeBuilder::Handling TreeBuilder::ProcessInTableBody(Token& token) {
    if (token.type == Token::Type::StartTag && IsOneOf(token.name, {u"tr", u"td", u"th"})) {
        PopAbove(CurrentTablePart());
        if (token.name == u"tr") {
            InsertElement(token);
            return Handling::Done;
        }
        InsertImpliedElement(u"tr");
        return Handling::Reprocess;
    }
    return EndsTablePart(token) ? CloseTablePart(token) : ProcessInTable(token);
}

TreeBuilder::Handling TreeBuilder::ProcessInRow(Token& token) {
    if (token.type == Token::Type::StartTag && IsOneOf(token.name, kCells)) {
        PopAbove(CurrentTablePart());
        InsertElement(token);
        return Handling::Done;
    }
    return EndsTablePart(token) ? CloseTablePart(token) : ProcessInTable(token);
}

// A cell's or caption's content reads as in the body; only the table's own
// tags reach past it.
TreeBuilder::Handling TreeBuilder::ProcessInCellOrCaption(Token& token) {
    return EndsTablePart(token) ? CloseTablePart(token) : ProcessInBody(token);
}

// A column group holds only <col> and white space; anything else ends it.
TreeBuilder::Handling TreeBuilder::ProcessInColumnGroup(Token& token) {
    if (token.type == Token::Type::Characters) {
        InsertText(TakeLeadingWhitespace(token));
        if (token.data.empty()) return Handling::Done;
    }
    if (IsStartTag(token, u"col")) {
        InsertVoidElement(token);
        return Handling::Done;
    }
    if (IsEndTag(token, u"col")) return Handling::Done;
    return CloseTablePart(token);
}

// A start tag of a table's own ends the open caption, row group, row or cell,
// and so does the end tag of any part open in this table, the innermost one
// or one around it.
bool TreeBuilder::EndsTablePart(const Token& token) const {
    if (token.type == Token::Type::StartTag) return IsOneOf(token.name, kTableStructure);
    return token.type == Token::Type::EndTag && IsOneOf(token.name, kTableParts) &&
           FindInTableScope({token.name}) != std::u16string_view::npos;
}

// The token that closed the part is read again around it, unless it was the
// part's own end tag.
TreeBuilder::Handling TreeBuilder::CloseTablePart(const Token& token) {
    const std::size_t part = CurrentTablePart();
    const bool ownEndTag = IsEndTag(token, m_openElements[part]->name);
    PopThrough(part);
    return ownEndTag ? Handling::Done : Handling::Reprocess;
}

TreeBuilder::Handling TreeBuilder::ProcessFosterParented(Token& token) {
    m_fosterParenting = true;
    const Handling handling = ProcessInBody(token);
    m_fosterParenting = false;
    return handling;
}

void TreeBuilder::StartTagInBody(Token& token) {
    const std::u16string_view name = token.name;
    if (name == u"html") {
        if (m_mode == Mode::Document) MergeAttributes(*m_root, token.attributes);
        return;
    }
    if (name == u"body") {
        if (m_body) MergeAttributes(*m_body, token.attributes);
        return;
    }
    if (name == u"head" || IsOneOf(name, kTableStructure) || InsertIfHeadElement(token)) return;
    if (IsOneOf(name, kClosesParagraph)) ClosePInButtonScope();
    if (IsOneOf(name, kHeadings) && IsOneOf(CurrentNode()->name, kHeadings)) {
        m_openElements.pop_back();
    } else if (name == u"li") {
        PopThrough(FindInScope(u"li", kListItemScopeBoundaries));
    } else if (name == u"dd" || name == u"dt") {
        PopThrough(FindInScope(u"dd", kDefinitionScopeBoundaries));
        PopThrough(FindInScope(u"dt", kDefinitionScopeBoundaries));
    } else if (name == u"a") {
        // Links do not nest: a new one ends the open one, unless that one is
        // outside the table cell the new one is in.
        PopThrough(FindInScope(u"a", kScopeBoundaries));
    }

    if (IsOneOf(name, kVoidElements)) InsertVoidElement(token);
    else if (IsOneOf(name, {u"xmp", u"iframe", u"noembed"}))
        InsertRawTextElement(token, Tokenizer::ContentModel::RawText);
    else if (name == u"textarea") InsertRawTextElement(token, Tokenizer::ContentModel::RcData);
    else InsertElement(token);
}

void TreeBuilder::EndTagInBody(const Token& token) {
    const std::u16string_view name = token.name;
    if (name == u"body" || name == u"html") return;  // whatever follows still goes into the body
    if (name == u"br") {
        Token br = MakeStartTag(u"br");  // "</br>" is read as <br>, as everywhere
        InsertVoidElement(br);
        return;
    }
    if (name == u"p") {
        PopThrough(FindInScope(name, kButtonScopeBoundaries));
    } else if (name == u"li") {
        PopThrough(FindInScope(name, kListItemScopeBoundaries));
    } else if (name == u"dd" || name == u"dt") {
        PopThrough(FindInScope(name, kDefinitionScopeBoundaries));
    } else if (IsOneOf(name, kHeadings)) {
        // Any heading closes any other: "<h1>..</h2>" ends the h1.
        std::size_t innermost = std::u16string_view::npos;
        for (std::u16string_view heading : kHeadings) {
            const std::size_t index = FindInScope(heading, kScopeBoundaries);
            if (index != std::u16string_view::npos && (innermost == std::u16string_view::npos || index > innermost))
                innermost = index;
        }
        PopThrough(innermost);
    } else {
        PopThrough(FindInScope(name, kScopeBoundaries));
    }
}

bool TreeBuilder::InsertIfHeadElement(Token& token) {
    if (token.type != Token::Type::StartTag) return false;
    const std::u16string_view name = token.name;
    if (IsOneOf(name, {u"base", u"basefont", u"bgsound", u"link", u"meta"})) InsertVoidElement(token);
    else if (name == u"title") InsertRawTextElement(token, Tokenizer::ContentModel::RcData);
    else if (name == u"style" || name == u"noframes") InsertRawTextElement(token, Tokenizer::ContentModel::RawText);
    else if (name == u"script") InsertRawTextElement(token, Tokenizer::ContentModel::ScriptData);
    else return false;
    return true;
}

TreeBuilder::Place TreeBuilder::AppropriatePlace() const {
    Node* target = CurrentNode();
    const std::size_t table = m_fosterParenting && IsOneOf(target->name, kTableContainers)
                                  ? FindInTableScope({u"table"})
                                  : std::u16string_view::npos;
    if (table == std::u16string_view::npos) return {target, target->children.size()};
    // The element below an open table on the stack is its parent, and the
    // table is that parent's last child: nothing is appended there while the
    // table is open, and what is fostered goes before it.
    Node* parent = m_openElements[table - 1];
    return {parent, parent->children.size() - 1};
}

Node* TreeBuilder::InsertElement(Token& token) {
    if (m_openElements.size() >= kMaximumTreeDepth) PopThrough(m_openElements.size() - 1);
    Node* inserted = PlaceElement(token);
    if (IsOneOf(inserted->name, kTableParts)) m_tableParts.push_back(m_openElements.size());
    m_openElements.push_back(inserted);
    return inserted;
}

Node* TreeBuilder::InsertImpliedElement(std::u16string name) {
    Token token = MakeStartTag(std::move(name));
    return InsertElement(token);
}

void TreeBuilder::InsertVoidElement(Token& token) { PlaceElement(token); }

Node* TreeBuilder::PlaceElement(Token& token) {
    auto element = Node::MakeElement(std::move(token.name));
    element->attributes = std::move(token.attributes);
    const auto [parent, position] = AppropriatePlace();
    auto& siblings = parent->children;
    return siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(position), std::move(element))->get();
}

void TreeBuilder::InsertRawTextElement(Token& token, Tokenizer::ContentModel model) {
    InsertElement(token);
    m_tokenizer->SwitchContentModel(model);
    m_originalInsertionMode = m_insertionMode;
    m_insertionMode = InsertionMode::Text;
}

void TreeBuilder::InsertText(std::u16string_view text) {
    if (text.empty()) return;
    const auto [parent, position] = AppropriatePlace();
    auto& siblings = parent->children;
    if (position > 0 && siblings[position - 1]->kind == Node::Kind::Text) siblings[position - 1]->text.append(text);
    else
        siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(position), Node::MakeText(std::u16string(text)));
}

// A repeated <html> or <body> adds only the attributes not already there.
void TreeBuilder::MergeAttributes(Node& element, std::vector<Attribute>& attributes) {
    std::unordered_set<std::u16string> present;
    for (const Attribute& attribute : element.attributes) present.insert(attribute.name);
    for (Attribute& attribute : attributes) {
        if (present.insert(attribute.name).second) element.attributes.push_back(std::move(attribute));
    }
}

std::size_t TreeBuilder::FindInScope(std::u16string_view name, ElementNames boundaries) const {
    // Index 0 is the root, which no tag closes.
    for (std::size_t index = m_openElements.size() - 1; index > 0; --index) {
        const std::u16string_view open = m_openElements[index]->name;
        if (open == name) return index;
        if (IsOneOf(open, boundaries)) break;
    }
    return std::u16string_view::npos;
}

std::size_t TreeBuilder::FindInTableScope(ElementNames names) const {
    for (auto part = m_tableParts.rbegin(); part != m_tableParts.rend(); ++part) {
        const std::u16string_view open = m_openElements[*part]->name;
        if (IsOneOf(open, names)) return *part;
        if (open == u"table") break;
    }
    return std::u16string_view::npos;
}

void TreeBuilder::PopAbove(std::size_t index) {
    if (index != std::u16string_view::npos) PopThrough(index + 1);
}

void TreeBuilder::PopThrough(std::size_t index) {
    if (index == std::u16string_view::npos || index == 0) return;
    m_openElements.resize(index);
    while (!m_tableParts.empty() && m_tableParts.back() >= index) m_tableParts.pop_back();
}

void TreeBuilder::ClosePInButtonScope() { PopThrough(FindInScope(u"p", kButtonScopeBoundaries)); }

std::unique_ptr<Node> ParseFragment(std::u16string_view html) {
    return TreeBuilder(TreeBuilder::Mode::Fragment).Build(html);
}

std::unique_ptr<Node> ParseDocument(std::u16string_view html) {
    return TreeBuilder(TreeBuilder::Mode::Document).Build(html);
}

}  // namespace html
