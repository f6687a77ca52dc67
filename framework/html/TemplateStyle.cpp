#include "TemplateStyle.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "CssDeclarations.h"
#include "LegacyColor.h"
#include "TextUnits.h"

namespace html {
namespace {

// "Tahoma", '굴림', Arial  ->  Tahoma,굴림,Arial
std::u16string FontFamilyList(std::u16string_view value) {
    std::u16string families;
    for (std::u16string_view family : SplitCssList(value, u',')) {
        family = TrimHtmlWhitespace(family);
        if (family.size() >= 2 && (family.front() == u'"' || family.front() == u'\'') &&
            family.back() == family.front())
            family = TrimHtmlWhitespace(family.substr(1, family.size() - 2));
        if (family.empty()) continue;
        if (!families.empty()) families.push_back(u',');
        families.append(family);
    }
    return families;
}

// "8pt" or "12px" (at 96 dots per inch); anything else, or a size no one
// could read, is no size.
std::optional<double> FontSizeInPoints(std::u16string_view value) {
    std::string ascii;
    for (char16_t c : value) {
        if (c > 0x7F) return std::nullopt;
        ascii.push_back(static_cast<char>(c));
    }
    double number = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), number);
    if (error != std::errc{}) return std::nullopt;
    const std::u16string unit = AsciiLower(value.substr(static_cast<std::size_t>(end - ascii.data())));
    const double points = unit == u"pt" ? number : unit == u"px" ? number * 0.75 : 0;
    if (!(points > 0 && points <= 1000)) return std::nullopt;
    return points;
}

Color* ColorProperty(TemplateStyle& style, std::u16string_view property) {
    if (property == u"color") return &style.color;
    if (property == u"scrollbar-face-color") return &style.scrollbarFace;
    if (property == u"scrollbar-arrow-color") return &style.scrollbarArrow;
    if (property == u"scrollbar-base-color" || property == u"scrollbar-track-color") return &style.scrollbarTrack;
    if (property == u"scrollbar-highlight-color") return &style.scrollbarHighlight;
    if (property == u"scrollbar-shadow-color") return &style.scrollbarShadow;
    if (property == u"scrollbar-darkshadow-color") return &style.scrollbarDarkShadow;
    if (property == u"scrollbar-3dlight-color") return &style.scrollbar3dLight;
    return nullptr;
}

void ApplyDeclaration(TemplateStyle& style, std::u16string_view text) {
    const std::optional<CssDeclaration> declaration = ParseCssDeclaration(text);
    if (!declaration) return;
    const std::u16string_view value = declaration->value;
    if (declaration->property == u"font-family") {
        if (std::u16string families = FontFamilyList(value); !families.empty())
            style.fontFamilies = std::move(families);
    } else if (declaration->property == u"font-size") {
        if (const auto points = FontSizeInPoints(value)) style.fontSizePt = *points;
    } else if (Color* color = ColorProperty(style, declaration->property)) {
        if (const auto parsed = ParseLegacyColor(value)) *color = *parsed;
    }
}

bool SelectsBody(std::u16string_view selectors) {
    for (std::u16string_view selector : SplitCssList(selectors, u',')) {
        if (AsciiLower(TrimHtmlWhitespace(selector)) == u"body") return true;
    }
    return false;
}

void ApplyStyleSheet(TemplateStyle& style, std::u16string_view sheet) {
    const std::u16string css = WithoutCssComments(sheet);
    std::size_t position = 0;
    while (position < css.size()) {
        const std::size_t open = css.find(u'{', position);
        if (open == std::u16string::npos) break;
        std::size_t close = css.find(u'}', open + 1);
        if (close == std::u16string::npos) close = css.size();  // an unclosed rule ends with the sheet
        if (SelectsBody(std::u16string_view(css).substr(position, open - position))) {
            const std::u16string_view block = std::u16string_view(css).substr(open + 1, close - open - 1);
            for (std::u16string_view declaration : SplitCssList(block, u';')) ApplyDeclaration(style, declaration);
        }
        position = close + 1;
    }
}

const Node* FindChildElement(const Node& parent, std::u16string_view name) {
    for (const auto& child : parent.children) {
        if (child->IsElement(name)) return child.get();
    }
    return nullptr;
}

}  // namespace

TemplateStyle ReadTemplateStyle(const Node& document) {
    TemplateStyle style;
    const Node* head = FindChildElement(document, u"head");
    if (!head) return style;
    for (const auto& element : head->children) {
        if (!element->IsElement(u"style")) continue;
        std::u16string sheet;
        for (const auto& text : element->children) sheet.append(text->text);
        ApplyStyleSheet(style, sheet);
    }
    return style;
}

}  // namespace html
