#include "HtmlTreeBuilder.h"

#include <algorithm>
#include <unordered_set>

#include "HtmlParser.h"
#include "TextUnits.h"

namespace html {
namespace {

using Names = std::initializer_list<std::u16string_view>;

bool IsOneOf(std::u16string_view name, Names names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

constexpr Names kVoidElements = {u"area",  u"base",  u"basefont", u"bgsound", u"br",     u"col",
                                 u"embed", u"hr",    u"img",      u"input",   u"keygen", u"link",
                                 u"meta",  u"param", u"source",   u"track",   u"wbr"};
constexpr Names kHeadings = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};
// Start tags that end an open paragraph. The template has no DOCTYPE, so the
// document is in quirks mode, where <table> does not.
constexpr Names kClosesParagraph = {
    u"address",  u"article",    u"aside",   u"blockquote", u"center", u"details", u"dialog", u"dir",  u"div", u"dl",
    u"fieldset", u"figcaption", u"figure",  u"footer",     u"header", u"hgroup",  u"main",   u"menu", u"nav", u"ol",
    u"p",        u"search",     u"section", u"summary",    u"ul",     u"h1",      u"h2",     u"h3",   u"h4",  u"h5",
    u"h6",       u"pre",        u"listing", u"form",       u"hr",     u"xmp",     u"li",     u"dd",   u"dt"};
constexpr Names kScopeBoundaries = {u"applet", u"caption", u"html",   u"table",   u"td",
                                    u"th",     u"marquee", u"object", u"template"};
constexpr Names kButtonScopeBoundaries = {u"applet", u"caption", u"html",   u"table",    u"td",
                                          u"th",     u"marquee", u"object", u"template", u"button"};
constexpr Names kListItemScopeBoundaries = {u"applet",  u"caption", u"html",     u"table", u"td", u"th",
                                            u"marquee", u"object",  u"template", u"ol",    u"ul"};
constexpr Names kDefinitionScopeBoundaries = {u"applet", u"caption", u"html",   u"table",    u"td",
                                              u"th",     u"marquee", u"object", u"template", u"dl"};

// Drops leading white space from a characters token; true when none is left.
bool StripLeadingWhitespace(Token& token) {
    const auto first = std::find_if_not(token.data.begin(), token.data.end(), IsHtmlWhitespace);
    token.data.erase(token.data.begin(), first);
    return token.data.empty();
}

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
    switch (m_insertionMode) {
    case InsertionMode::BeforeHead: return ProcessBeforeHead(token);
    case InsertionMode::InHead: return ProcessInHead(token);
    case InsertionMode::AfterHead: return ProcessAfterHead(token);
    case InsertionMode::InBody: return ProcessInBody(token);
    case InsertionMode::Text: return ProcessText(token);
    }
    return Handling::Done;
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
    Token head = MakeStartTag(u"head");
    m_head = InsertElement(head);
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
    CreateBody();
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
    if (name == u"head" || InsertIfHeadElement(token)) return;
    if (IsOneOf(name, kClosesParagraph)) ClosePInButtonScope();
    if (IsOneOf(name, kHeadings) && IsOneOf(CurrentNode()->name, kHeadings)) {
        m_openElements.pop_back();
    } else if (name == u"li") {
        PopThrough(FindInScope(u"li", kListItemScopeBoundaries));
    } else if (name == u"dd" || name == u"dt") {
        PopThrough(FindInScope(u"dd", kDefinitionScopeBoundaries));
        PopThrough(FindInScope(u"dt", kDefinitionScopeBoundaries));
    } else if (name == u"a") {
        // Links do not nest: a new one ends the open one.
        PopThrough(FindInScope(u"a", {}));
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
        PopThrough(FindInScope(name, {}));
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

Node* TreeBuilder::InsertElement(Token& token) {
    if (m_openElements.size() >= kMaximumTreeDepth) m_openElements.pop_back();
    auto element = Node::MakeElement(std::move(token.name));
    element->attributes = std::move(token.attributes);
    Node* inserted = element.get();
    CurrentNode()->children.push_back(std::move(element));
    m_openElements.push_back(inserted);
    return inserted;
}

void TreeBuilder::InsertVoidElement(Token& token) {
    auto element = Node::MakeElement(std::move(token.name));
    element->attributes = std::move(token.attributes);
    CurrentNode()->children.push_back(std::move(element));
}

void TreeBuilder::InsertRawTextElement(Token& token, Tokenizer::ContentModel model) {
    InsertElement(token);
    m_tokenizer->SwitchContentModel(model);
    m_originalInsertionMode = m_insertionMode;
    m_insertionMode = InsertionMode::Text;
}

void TreeBuilder::InsertText(std::u16string_view text) {
    if (text.empty()) return;
    Node* parent = CurrentNode();
    if (!parent->children.empty() && parent->children.back()->kind == Node::Kind::Text)
        parent->children.back()->text.append(text);
    else parent->children.push_back(Node::MakeText(std::u16string(text)));
}

// A repeated <html> or <body> adds only the attributes not already there.
void TreeBuilder::MergeAttributes(Node& element, std::vector<Attribute>& attributes) {
    std::unordered_set<std::u16string> present;
    for (const Attribute& attribute : element.attributes) present.insert(attribute.name);
    for (Attribute& attribute : attributes) {
        if (present.insert(attribute.name).second) element.attributes.push_back(std::move(attribute));
    }
}

std::size_t TreeBuilder::FindInScope(std::u16string_view name, Names boundaries) const {
    // Index 0 is the root, which no tag closes.
    for (std::size_t index = m_openElements.size() - 1; index > 0; --index) {
        const std::u16string_view open = m_openElements[index]->name;
        if (open == name) return index;
        if (IsOneOf(open, boundaries)) break;
    }
    return std::u16string_view::npos;
}

void TreeBuilder::PopThrough(std::size_t index) {
    if (index != std::u16string_view::npos && index > 0) m_openElements.resize(index);
}

void TreeBuilder::ClosePInButtonScope() { PopThrough(FindInScope(u"p", kButtonScopeBoundaries)); }

void TreeBuilder::CreateBody() {
    Token body = MakeStartTag(u"body");
    m_body = InsertElement(body);
}

std::unique_ptr<Node> ParseFragment(std::u16string_view html) {
    return TreeBuilder(TreeBuilder::Mode::Fragment).Build(html);
}

std::unique_ptr<Node> ParseDocument(std::u16string_view html) {
    return TreeBuilder(TreeBuilder::Mode::Document).Build(html);
}

}  // namespace html
