#include "framework/html/FlowBuilder.h"

#include "framework/html/BlockStyles.h"
#include "framework/html/InlineCss.h"
#include "framework/html/LegacyColor.h"
#include "framework/html/TextUnits.h"

#include <algorithm>

namespace html {

namespace {

// Elements whose rendering is display: none in the HTML standard's user agent
// style sheet; their content is never shown.
constexpr ElementNames kHiddenElements = {u"area", u"base",   u"basefont", u"datalist", u"head",
                                          u"link", u"meta",   u"noembed",  u"noframes", u"param",
                                          u"rp",   u"script", u"style",    u"template", u"title"};

bool IsC0ControlOrSpace(char16_t c) { return c <= u' '; }

// Tab stops in preformatted text, in characters.
constexpr int kTabSize = 8;

// Font sizes of big and small, and of sub and sup: CSS's larger and
// smaller; the raise or drop of sub and sup, from the enclosing size.
constexpr double kRelativeSizeStep = 1.2;
double SuperscriptShift(double size) { return size / 3 + 1; }
double SubscriptShift(double size) { return -(size / 5 + 1); }

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
        number = static_cast<int>(std::min<long long>(number * 10LL + (value[position] - u'0'), limit));
        ++position;
    }
    if (position == digitsStart) {
        return std::nullopt;
    }
    return number;
}

int IntegerAttribute(const Node& element, std::u16string_view name, int fallback, int limit) {
    const std::u16string* value = element.FindAttribute(name);
    return value ? ParseNonNegativeInteger(*value, limit).value_or(fallback) : fallback;
}

void FlowBuilder::AppendChildren(const Node& parent, const InlineStyle& inherited) {
    m_body = inherited;
    m_stack.clear();
    m_stack.push_back(Frame{&parent, 0, inherited});
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
            if (top.preformatted) {
                AppendPreformattedText(child.text, top);
            } else {
                AppendText(child.text, top);
            }
        } else {
            EnterElement(child, Frame(top));
        }
    }
}

// `parent` is a copy: pushing a frame may move the stack.
void FlowBuilder::EnterElement(const Node& element, const Frame& parent) {
    const std::u16string_view name = element.name;
    if (IsOneOf(name, kHiddenElements)) {
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
    Frame frame = parent;
    frame.element = &element;
    frame.nextChild = 0;
    frame.block = kNoBlock;
    ApplyElementStyle(element, frame);
    const std::u16string* styleAttribute = element.FindAttribute(u"style");
    const InlineCss css = styleAttribute ? ParseInlineCss(*styleAttribute) : InlineCss{};
    const double parentSize = frame.style.pixelSize;
    OpenBlock(element, frame, css);
    ApplyStyleAttribute(css, parentSize, frame);
    m_stack.push_back(frame);
}

void FlowBuilder::LeaveElement(const Frame& frame) {
    if (frame.block != kNoBlock) {
        m_flow.CloseBlock(frame.block, m_styles.Intern(frame.style));
    }
}

void FlowBuilder::OpenBlock(const Node& element, Frame& frame, const InlineCss& css) {
    BlockContext context;
    context.table = frame.table == kNoBlock ? nullptr : &m_flow.Block(frame.table);
    context.row = frame.row == kNoBlock ? nullptr : &m_flow.Block(frame.row);
    context.listDepth = frame.listDepth;
    context.itemMarker = frame.itemMarker;
    context.nextOrdinal = frame.nextOrdinal;
    context.body = m_body;
    std::optional<BlockBox> block = DefaultBlock(element, frame.style, context);
    if (!block) {
        return;
    }
    if (css.textAlign) {
        block->align = *css.textAlign;
    }
    if (css.backgroundColor) {
        block->hasBackground = css.backgroundColor->has_value();
        block->background = css.backgroundColor->value_or(block->background);
    }
    if (IsPreformatted(element)) {
        frame.preformatted = true;
        frame.style.family = m_styles.InternFamilies(kMonospaceFamilies, frame.style.family);
        m_preformattedColumn = 0;
    }
    block->markerStyle = m_styles.Intern(frame.style);
    block->parent = frame.container;
    frame.block = m_flow.OpenBlock(*block, block->markerStyle);
    frame.container = frame.block;
    if (block->kind == BlockKind::Table) {
        frame.table = frame.block;
    } else if (block->kind == BlockKind::Row) {
        frame.row = frame.block;
    } else if (block->kind == BlockKind::ListItem) {
        // The list's next item follows this one, whatever number it took.
        m_stack.back().nextOrdinal = block->ordinal + 1;
    }
    if (IsList(element)) {
        frame.itemMarker = ItemMarker(element, frame.listDepth);
        frame.nextOrdinal = FirstOrdinal(element);
        ++frame.listDepth;
    }
}

// What the style attribute says of the text; a block's own background was
// taken by its box.
void FlowBuilder::ApplyStyleAttribute(const InlineCss& css, double parentSize, Frame& frame) {
    InlineStyle& style = frame.style;
    style.color = css.color.value_or(style.color);
    style.bold = css.bold.value_or(style.bold);
    style.italic = css.italic.value_or(style.italic);
    if (css.textDecoration) {
        style.underline = style.underline || css.textDecoration->underline;
        style.strikeout = style.strikeout || css.textDecoration->lineThrough;
    }
    if (css.fontSize) {
        style.pixelSize = ResolveFontSize(*css.fontSize, parentSize);
    }
    if (css.backgroundColor && frame.block == kNoBlock) {
        style.background = css.backgroundColor->value_or(kTransparent);
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
    } else if (name == u"big" || name == u"small") {
        style.pixelSize = name == u"big" ? style.pixelSize * kRelativeSizeStep : style.pixelSize / kRelativeSizeStep;
    } else if (name == u"sub" || name == u"sup") {
        style.baselineShift += name == u"sup" ? SuperscriptShift(style.pixelSize) : SubscriptShift(style.pixelSize);
        style.pixelSize /= kRelativeSizeStep;
    } else if (name == u"tt" || name == u"code" || name == u"kbd" || name == u"samp") {
        style.family = m_styles.InternFamilies(kMonospaceFamilies, style.family);
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

// White space is kept: a line feed is a line break, a space one that does
// not collapse, a tab the spaces to the next stop. A line feed right at the
// block's start is dropped, as the parser drops the one after <pre>.
void FlowBuilder::AppendPreformattedText(std::u16string_view text, const Frame& frame) {
    const StyleId style = m_styles.Intern(frame.style);
    for (const char16_t c : text) {
        if (c == u'\n') {
            const bool atBlockStart = m_flow.RunAt(m_flow.RunCount() - 1).kind == RunKind::BlockStart;
            if (!atBlockStart) m_flow.AppendBreak(style);
            m_preformattedColumn = 0;
        } else if (c == u'\t') {
            do {
                m_flow.AppendText(kNoBreakSpace, style, frame.link);
            } while (++m_preformattedColumn % kTabSize != 0);
        } else {
            m_flow.AppendText(c == u' ' ? kNoBreakSpace : c, style, frame.link);
            ++m_preformattedColumn;
        }
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
    object.attributeWidth = IntegerAttribute(element, u"width", 0, Flow::kMaxObjectSide);
    object.attributeHeight = IntegerAttribute(element, u"height", 0, Flow::kMaxObjectSide);
    m_flow.AppendObject(std::move(object), m_styles.Intern(frame.style), frame.link);
}

}  // namespace html
