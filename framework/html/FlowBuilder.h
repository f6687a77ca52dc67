// FlowBuilder: turns a parsed tree (a fragment, or the template's body) into
// runs at the end of the flow, and then the tree can go.
//
// The walk keeps its own stack, so any nesting depth costs heap, not call
// stack. Elements act through the inline style they give their content (b,
// i, u, s, font, a, sub, sup, big, small, tt and their synonyms), the line
// breaks they add, the object they stand for (img, embed), or the block they
// open (BlockStyles), and through a small set of inline style declarations
// (InlineCss); anything else keeps its text, and what browsers never
// render (script, style, head and the like) is skipped with its content.
#pragma once

#include "framework/html/Flow.h"
#include "framework/html/HtmlNode.h"
#include "framework/html/InlineCss.h"
#include "framework/html/StyleTable.h"

#include <string>
#include <string_view>

namespace html {

// The colour of link text unless a font element inside the link says
// otherwise.
inline constexpr Color kLinkColor = Rgb(0, 0, 0xFF);

class FlowBuilder {
public:
    FlowBuilder(Flow& flow, StyleTable& styles) : m_flow(flow), m_styles(styles) {}

    // Appends the content of `parent` (its element name is not looked at),
    // whose text has the look `inherited`.
    void AppendChildren(const Node& parent, const InlineStyle& inherited);

private:
    struct Frame {
        const Node* element;
        std::size_t nextChild;
        InlineStyle style;
        std::uint32_t link = kNoLink;
        std::uint32_t block = kNoBlock;      // the block this element opened
        std::uint32_t container = kNoBlock;  // the innermost block around its content
        std::uint32_t table = kNoBlock;      // the nearest table around it
        std::uint32_t row = kNoBlock;        // the nearest table row around it
        std::int32_t listDepth = 0;
        std::int32_t nextOrdinal = 1;
        ListMarker itemMarker = ListMarker::Disc;
        bool preformatted = false;
    };

    void EnterElement(const Node& element, const Frame& parent);
    void LeaveElement(const Frame& frame);
    // Opens the block `element` makes, if it makes one.
    void OpenBlock(const Node& element, Frame& frame, const InlineCss& css);
    void ApplyStyleAttribute(const InlineCss& css, double parentSize, Frame& frame);
    void ApplyElementStyle(const Node& element, Frame& frame);
    void AppendText(std::u16string_view text, const Frame& frame);
    void AppendPreformattedText(std::u16string_view text, const Frame& frame);
    void AppendObject(const Node& element, RunKind kind, const Frame& frame);

    Flow& m_flow;
    StyleTable& m_styles;
    InlineStyle m_body;
    std::vector<Frame> m_stack;
    int m_preformattedColumn = 0;  // for tab stops
};

// The URL as the URL standard reads it before parsing: leading and trailing
// C0 controls and spaces removed, tabs and newlines removed throughout.
std::u16string TrimUrl(std::u16string_view url);

// The HTML standard's rules for parsing non-negative integers, capped at
// `limit`; nullopt when there are no digits.
std::optional<int> ParseNonNegativeInteger(std::u16string_view value, int limit);

// The attribute `name` of `element` read so, or `fallback` when it is absent
// or has no digits.
int IntegerAttribute(const Node& element, std::u16string_view name, int fallback, int limit);

}  // namespace html
