#include "framework/html/FlowBuilder.h"

#include "framework/html/LegacyColor.h"
#include "framework/html/TextUnits.h"

#include <algorithm>
#include <array>

namespace html {

namespace {

// Elements whose rendering is display: none in the HTML standard's user agent
// style sheet; their content is never shown.
constexpr std::array<std::u16string_view, 15> kHiddenElements = {
    u"area",     u"base",  u"basefont", u"datalist", u"head",  u"link",     u"meta", u"noembed",
    u"noframes", u"param", u"rp",       u"script",   u"style", u"template", u"title"};

// Block-level elements of the same style sheet. The pane has no box model:
// a block only starts and ends its own lines.
constexpr std::array<std::u16string_view, 40> kBlockElements = {
    u"address", u"article", u"aside", u"blockquote", u"caption", u"center",   u"dd",         u"details",
    u"dialog",  u"dir",     u"div",   u"dl",         u"dt",      u"fieldset", u"figcaption", u"figure",
    u"footer",  u"form",    u"h1",    u"h2",         u"h3",      u"h4",       u"h5",         u"h6",
    u"header",  u"hgroup",  u"hr",    u"legend",     u"li",      u"listing",  u"main",       u"menu",
    u"nav",     u"ol",      u"p",     u"plaintext",  u"pre",     u"section",  u"table",      u"ul"};

template <std::size_t N>
bool Contains(const std::array<std::u16string_view, N>& names, std::u16string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsC0ControlOrSpace(char16_t c) { return c <= u' '; }

int DimensionAttribute(const Node& element, std::u16string_view name) {
    const std::u16string* value = element.FindAttribute(name);
    return value ? ParseNonNegativeInteger(*value, Flow::kMaxObjectSide).value_or(0) : 0;
}

}  // namespace

std::u16string TrimUrl(std::u16string_view url) {
    while (!url.empty() && IsC0ControlOrSpace(url.front())) {
        url.remove_prefix(1);
    }
    while (!url.empty() && IsC0ControlOrSpace(url.back())) {
        url.remove_suffix(1);
    }
    std::u16string trimmed;
    trimmed.reserve(url.size());
    for (const char16_t c : url) {
        if (c != u'\t' && c != u'\n' && c != u'\r') {
            trimmed += c;
        }
    }
    return trimmed;
}

std::optional<int> ParseNonNegativeInteger(std::u16string_view value, int limit) {
    std::size_t position = 0;
    while (position < value.size() && IsHtmlWhitespace(value[position])) {
        ++position;
    }
    if (position < value.size() && value[position] == u'+') {
        ++position;
    }
    const std::size_t digitsStart = position;
    int number = 0;
    while (position < value.size() && value[position] >= u'0' && value[position] <= u'9') {
        number = std::min(number * 10 + (value[position] - u'0'), limit);
        ++position;
    }
    if (position == digitsStart) {
        return std::nullopt;
    }
    return number;
}

void FlowBuilder::AppendChildren(const Node& parent, const InlineStyle& inherited) {
    m_stack.clear();
    m_stack.push_back(Frame{&parent, 0, inherited, kNoLink});
    while (!m_stack.empty()) {
        Frame& top = m_stack.back();
        if (top.nextChild == top.element->children.size()) {
            const Frame finished = top;
            m_stack.pop_back();
            if (!m_stack.empty()) {
                LeaveElement(finished);
            }
            continue;
        }
        const Node& child = *top.element->children[top.nextChild++];
        if (child.kind == Node::Kind::Text) {
            AppendText(child.text, top);
        } else {
            EnterElement(child, Frame(top));
        }
    }
}

// `parent` is a copy: pushing a frame may move the stack.
void FlowBuilder::EnterElement(const Node& element, const Frame& parent) {
    const std::u16string_view name = element.name;
    if (Contains(kHiddenElements, name)) {
        return;
    }
    if (name == u"br") {
        m_flow.AppendBreak(m_styles.Intern(parent.style));
        return;
    }
    if (name == u"img" || name == u"embed") {
        AppendObject(element, name == u"img" ? RunKind::Image : RunKind::Embed, parent);
        return;
    }
    if (Contains(kBlockElements, name)) {
        BreakLineUnlessAtStart(parent.style);
    }
    Frame frame{&element, 0, parent.style, parent.link};
    ApplyElementStyle(element, frame);
    m_stack.push_back(frame);
}

void FlowBuilder::LeaveElement(const Frame& frame) {
    if (Contains(kBlockElements, frame.element->name)) {
        BreakLineUnlessAtStart(frame.style);
    }
}

void FlowBuilder::ApplyElementStyle(const Node& element, Frame& frame) {
    const std::u16string_view name = element.name;
    InlineStyle& style = frame.style;
    if (name == u"b" || name == u"strong") {
        style.bold = true;
    } else if (name == u"i" || name == u"em") {
        style.italic = true;
    } else if (name == u"u" || name == u"ins") {
        style.underline = true;
    } else if (name == u"s" || name == u"strike" || name == u"del") {
        style.strikeout = true;
    } else if (name == u"font") {
        if (const std::u16string* color = element.FindAttribute(u"color")) {
            style.color = ParseLegacyColor(*color).value_or(style.color);
        }
        if (const std::u16string* size = element.FindAttribute(u"size")) {
            style.pixelSize = LegacyFontSizePixels(*size).value_or(style.pixelSize);
        }
        if (const std::u16string* face = element.FindAttribute(u"face"); face && !face->empty()) {
            style.family = m_styles.InternFamilies(*face, style.family);
        }
    } else if (name == u"a") {
        if (const std::u16string* href = element.FindAttribute(u"href")) {
            frame.link = m_flow.AddLink(TrimUrl(*href));
            style.color = kLinkColor;
            style.underline = true;
        }
    }
}

void FlowBuilder::AppendText(std::u16string_view text, const Frame& frame) {
    if (text.empty()) {
        return;
    }
    const StyleId style = m_styles.Intern(frame.style);
    // A space is dropped at the start of the body, after a line break, and
    // after another space: runs of white space collapse to one, across
    // elements and across appended fragments alike.
    bool dropSpace = m_flow.Empty() || m_flow.CharAt(m_flow.End() - 1) == kCollapsibleSpace ||
                     m_flow.CharAt(m_flow.End() - 1) == kBreakCharacter;
    for (const char16_t c : text) {
        if (IsHtmlWhitespace(c)) {
            if (!dropSpace) {
                m_flow.AppendText(kCollapsibleSpace, style, frame.link);
                dropSpace = true;
            }
            continue;
        }
        m_flow.AppendText(c, style, frame.link);
        dropSpace = false;
    }
}

void FlowBuilder::AppendObject(const Node& element, RunKind kind, const Frame& frame) {
    EmbeddedObject object;
    object.kind = kind;
    if (const std::u16string* source = element.FindAttribute(u"src")) {
        object.source = TrimUrl(*source);
    }
    if (const std::u16string* alternative = element.FindAttribute(u"alt")) object.alternative = *alternative;
    // An image with nothing to load is a placeholder from the start.
    if (kind == RunKind::Image && object.source.empty()) {
        object.state = EmbeddedObject::State::Failed;
    }
    object.attributeWidth = DimensionAttribute(element, u"width");
    object.attributeHeight = DimensionAttribute(element, u"height");
    m_flow.AppendObject(std::move(object), m_styles.Intern(frame.style), frame.link);
}

void FlowBuilder::BreakLineUnlessAtStart(const InlineStyle& style) {
    if (!m_flow.Empty() && m_flow.CharAt(m_flow.End() - 1) != kBreakCharacter) {
        m_flow.AppendBreak(m_styles.Intern(style));
    }
}

}  // namespace html
