#include "framework/html/BlockStyles.h"

#include "framework/AsciiText.h"
#include "framework/html/FlowBuilder.h"
#include "framework/html/LegacyColor.h"
#include "framework/html/TextUnits.h"

#include <algorithm>
#include <array>

namespace html {

namespace {

// Elements that are blocks and look like any block: no margins of their own.
constexpr ElementNames kPlainBlocks = {u"article",  u"aside",   u"details", u"dialog", u"div",        u"dt",
                                       u"fieldset", u"footer",  u"header",  u"hgroup", u"figcaption", u"legend",
                                       u"main",     u"marquee", u"nav",     u"search", u"section",    u"summary"};
constexpr ElementNames kLists = {u"ul", u"ol", u"menu", u"dir"};
constexpr ElementNames kPreformatted = {u"pre", u"listing", u"xmp", u"plaintext"};

// CSS pixels: a cell's padding and a table's spacing when the table does not
// say, and the caps past which a number means nothing more on screen.
constexpr int kDefaultCellPadding = 1;
constexpr int kDefaultCellSpacing = 2;
constexpr int kMaxBorder = 100;
constexpr int kMaxSpacing = 1000;
constexpr int kMaxRuleSize = 1000;
constexpr float kListIndent = 40;
constexpr float kQuoteIndent = 40;
constexpr Color kTableBorderColor = Rgb(0x80, 0x80, 0x80);

struct Heading {
    std::u16string_view name;
    float size;    // em of the enclosing text
    float margin;  // em of the heading's own text
};
constexpr std::array<Heading, 6> kHeadings = {{{u"h1", 2.0f, 0.67f},
                                               {u"h2", 1.5f, 0.83f},
                                               {u"h3", 1.17f, 1.0f},
                                               {u"h4", 1.0f, 1.33f},
                                               {u"h5", 0.83f, 1.67f},
                                               {u"h6", 0.67f, 2.33f}}};

std::u16string AttributeKeyword(const Node& element, std::u16string_view name) {
    const std::u16string* value = element.FindAttribute(name);
    return value ? AsciiLower(TrimHtmlWhitespace(*value)) : std::u16string{};
}

TextAlign AlignAttribute(const Node& element) {
    const std::u16string align = AttributeKeyword(element, u"align");
    if (align == u"left" || align == u"justify") return TextAlign::Left;
    if (align == u"center" || align == u"middle") return TextAlign::Center;
    if (align == u"right") return TextAlign::Right;
    return TextAlign::Inherit;
}

std::optional<VerticalAlign> VerticalAlignAttribute(const Node& element) {
    const std::u16string align = AttributeKeyword(element, u"valign");
    if (align == u"top" || align == u"baseline") return VerticalAlign::Top;
    if (align == u"middle" || align == u"center") return VerticalAlign::Middle;
    if (align == u"bottom") return VerticalAlign::Bottom;
    return std::nullopt;
}

bool ReadBackground(const Node& element, BlockBox& block) {
    const std::u16string* color = element.FindAttribute(u"bgcolor");
    const std::optional<Color> parsed = color ? ParseLegacyColor(*color) : std::nullopt;
    if (parsed) {
        block.hasBackground = true;
        block.background = *parsed;
    }
    return parsed.has_value();
}

WidthSpec WidthAttribute(const Node& element) {
    const std::u16string* value = element.FindAttribute(u"width");
    return value ? ParseWidthAttribute(*value) : WidthSpec{};
}

// A row's or a cell's height attribute: the least it is in CSS pixels (a
// percentage of a table whose height is its content's means nothing).
float HeightAttribute(const Node& element) {
    const std::u16string* value = element.FindAttribute(u"height");
    const WidthSpec height = value ? ParseWidthAttribute(*value) : WidthSpec{};
    return height.unit == WidthSpec::Unit::Pixels ? static_cast<float>(height.value) : 0;
}

BlockBox VerticalMargins(float em) {
    BlockBox block;
    block.margin.top = em;
    block.margin.bottom = em;
    block.quirkyMargins = true;
    return block;
}

BlockBox Rule(const Node& element, const InlineStyle& text) {
    BlockBox rule;
    rule.kind = BlockKind::Rule;
    rule.margin.top = rule.margin.bottom = static_cast<float>(text.pixelSize / 2);
    rule.placement = AlignAttribute(element);
    rule.width = WidthAttribute(element);
    rule.height = static_cast<float>(IntegerAttribute(element, u"size", 2, kMaxRuleSize));
    rule.border = 1;
    rule.borderColor = kTableBorderColor;
    rule.borderStyle = BorderStyle::Inset;
    const std::u16string* color = element.FindAttribute(u"color");
    if (const std::optional<Color> solid = color ? ParseLegacyColor(*color) : std::nullopt) {
        rule.borderStyle = BorderStyle::Solid;
        rule.borderColor = *solid;
    } else if (element.FindAttribute(u"noshade")) {
        rule.borderStyle = BorderStyle::Solid;
    }
    return rule;
}

// In quirks mode a table's text does not take the size, weight, style or
// colour of the text around the table, only its face.
BlockBox Table(const Node& element, InlineStyle& text, const BlockContext& context) {
    text.pixelSize = 16;
    text.bold = false;
    text.italic = false;
    text.color = context.body.color;
    BlockBox table;
    table.kind = BlockKind::Table;
    table.placement = AlignAttribute(element);
    table.width = WidthAttribute(element);
    ReadBackground(element, table);
    if (const std::u16string* border = element.FindAttribute(u"border")) {
        table.border = static_cast<float>(ParseNonNegativeInteger(*border, kMaxBorder).value_or(1));
        table.borderStyle = table.border > 0 ? BorderStyle::Outset : BorderStyle::None;
        table.borderColor = kTableBorderColor;
    }
    table.spacing = static_cast<float>(IntegerAttribute(element, u"cellspacing", kDefaultCellSpacing, kMaxSpacing));
    const float padding =
        static_cast<float>(IntegerAttribute(element, u"cellpadding", kDefaultCellPadding, kMaxSpacing));
    table.padding = BoxEdges{padding, padding, padding, padding};
    return table;
}

BlockBox Row(const Node& element) {
    BlockBox row;
    row.kind = BlockKind::Row;
    row.align = AlignAttribute(element);
    row.verticalAlign = VerticalAlignAttribute(element).value_or(VerticalAlign::Middle);
    row.height = HeightAttribute(element);
    ReadBackground(element, row);
    return row;
}

// A cell takes the table's padding (kept on the table as its own) and, in a
// bordered table, a one-pixel sunken frame.
BlockBox Cell(const Node& element, InlineStyle& text, const BlockContext& context) {
    BlockBox cell;
    cell.kind = BlockKind::Cell;
    const BlockBox* row = context.row;
    cell.align = AlignAttribute(element);
    if (cell.align == TextAlign::Inherit && row) cell.align = row->align;
    if (element.name == u"th") {
        text.bold = true;
        if (cell.align == TextAlign::Inherit) cell.align = TextAlign::Center;
    }
    cell.verticalAlign = VerticalAlignAttribute(element).value_or(row ? row->verticalAlign : VerticalAlign::Middle);
    if (!ReadBackground(element, cell) && row && row->hasBackground) {
        cell.hasBackground = true;
        cell.background = row->background;
    }
    cell.width = WidthAttribute(element);
    cell.height = HeightAttribute(element);
    cell.noWrap = element.FindAttribute(u"nowrap") != nullptr;
    cell.colspan = IntegerAttribute(element, u"colspan", 1, TableGrid::kMaxColspan);
    cell.rowspan = IntegerAttribute(element, u"rowspan", 1, TableGrid::kMaxRowspan);
    if (context.table) {
        cell.padding = context.table->padding;
        if (context.table->border > 0) {
            cell.border = 1;
            cell.borderStyle = BorderStyle::Inset;
            cell.borderColor = kTableBorderColor;
        }
    }
    return cell;
}

// A type attribute of a list or an item. The one-letter types are
// case-sensitive: "a" and "A" differ.
std::optional<ListMarker> MarkerType(std::u16string_view type) {
    const std::u16string_view written = TrimHtmlWhitespace(type);
    if (written == u"1") return ListMarker::Decimal;
    if (written == u"a") return ListMarker::LowerAlpha;
    if (written == u"A") return ListMarker::UpperAlpha;
    if (written == u"i") return ListMarker::LowerRoman;
    if (written == u"I") return ListMarker::UpperRoman;
    const std::u16string keyword = AsciiLower(written);
    if (keyword == u"disc") return ListMarker::Disc;
    if (keyword == u"circle") return ListMarker::Circle;
    if (keyword == u"square") return ListMarker::Square;
    if (keyword == u"none") return ListMarker::None;
    return std::nullopt;
}

BlockBox ListItem(const Node& element, const BlockContext& context) {
    BlockBox item;
    item.kind = BlockKind::ListItem;
    item.marker = context.itemMarker;
    if (const std::u16string* type = element.FindAttribute(u"type")) {
        item.marker = MarkerType(*type).value_or(item.marker);
    }
    item.ordinal = context.nextOrdinal;
    if (const std::u16string* value = element.FindAttribute(u"value")) {
        item.ordinal = ParseNonNegativeInteger(*value, 1'000'000'000).value_or(item.ordinal);
    }
    return item;
}

std::optional<BlockBox> HeadingBlock(const Node& element, InlineStyle& text) {
    for (const Heading& heading : kHeadings) {
        if (element.name == heading.name) {
            text.pixelSize *= heading.size;
            text.bold = true;
            BlockBox block = VerticalMargins(static_cast<float>(text.pixelSize * heading.margin));
            block.align = AlignAttribute(element);
            return block;
        }
    }
    return std::nullopt;
}

std::optional<BlockBox> TextBlock(const Node& element, InlineStyle& text, const BlockContext& context) {
    const std::u16string_view name = element.name;
    const auto em = static_cast<float>(text.pixelSize);
    if (name == u"p") return VerticalMargins(em);
    if (name == u"form") {
        BlockBox form;
        form.margin.bottom = em;
        return form;
    }
    if (name == u"blockquote" || name == u"figure") {
        BlockBox quote = VerticalMargins(em);
        quote.margin.left = quote.margin.right = kQuoteIndent;
        return quote;
    }
    if (name == u"dd") {
        BlockBox definition;
        definition.margin.left = kQuoteIndent;
        return definition;
    }
    if (name == u"dl" || IsOneOf(name, kLists)) {
        BlockBox list = VerticalMargins(context.listDepth > 0 ? 0 : em);
        if (name != u"dl") list.padding.left = kListIndent;
        return list;
    }
    if (IsOneOf(name, kPreformatted)) return VerticalMargins(em);
    if (name == u"address") {
        text.italic = true;
        return BlockBox{};
    }
    if (name == u"center") {
        BlockBox center;
        center.align = TextAlign::Center;
        return center;
    }
    if (name == u"caption") {
        BlockBox caption;
        caption.align = TextAlign::Center;
        return caption;
    }
    if (IsOneOf(name, kPlainBlocks)) return BlockBox{};
    return std::nullopt;
}

}  // namespace

std::optional<BlockBox> DefaultBlock(const Node& element, InlineStyle& text, const BlockContext& context) {
    const std::u16string_view name = element.name;
    std::optional<BlockBox> block;
    if (name == u"hr") block = Rule(element, text);
    else if (name == u"table") block = Table(element, text, context);
    else if (name == u"tr") block = Row(element);
    else if (name == u"td" || name == u"th") block = Cell(element, text, context);
    else if (name == u"li") block = ListItem(element, context);
    else if (!(block = HeadingBlock(element, text))) block = TextBlock(element, text, context);
    if (block && block->align == TextAlign::Inherit && block->kind == BlockKind::Block) {
        block->align = AlignAttribute(element);
    }
    return block;
}

bool IsList(const Node& element) { return IsOneOf(element.name, kLists); }

ListMarker ItemMarker(const Node& list, int depth) {
    if (const std::u16string* type = list.FindAttribute(u"type")) {
        if (const std::optional<ListMarker> marker = MarkerType(*type)) return *marker;
    }
    if (list.name == u"ol") return ListMarker::Decimal;
    static constexpr std::array<ListMarker, 3> kByDepth = {ListMarker::Disc, ListMarker::Circle, ListMarker::Square};
    return kByDepth[std::min<std::size_t>(depth, kByDepth.size() - 1)];
}

std::int32_t FirstOrdinal(const Node& list) {
    const std::u16string* start = list.FindAttribute(u"start");
    return start ? ParseNonNegativeInteger(*start, 1'000'000'000).value_or(1) : 1;
}

bool IsPreformatted(const Node& element) { return IsOneOf(element.name, kPreformatted); }

}  // namespace html
