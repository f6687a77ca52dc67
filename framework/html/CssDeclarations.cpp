#include "framework/html/CssDeclarations.h"

#include "framework/html/TextUnits.h"

namespace html {

std::u16string WithoutCssComments(std::u16string_view css) {
    std::u16string result;
    result.reserve(css.size());
    std::size_t position = 0;
    while (position < css.size()) {
        const std::size_t open = css.find(u"/*", position);
        result.append(css.substr(position, open - position));
        if (open == std::u16string_view::npos) break;
        const std::size_t close = css.find(u"*/", open + 2);
        position = close == std::u16string_view::npos ? css.size() : close + 2;
    }
    return result;
}

namespace {

// The parts of `text` between the units for which `isSeparator` holds,
// outside strings and brackets.
template <typename IsSeparator>
std::vector<std::u16string_view> SplitOutsideStringsAndBrackets(std::u16string_view text, IsSeparator isSeparator) {
    std::vector<std::u16string_view> parts;
    char16_t quote = 0;
    std::size_t depth = 0;  // brackets of any kind: CSS recovers from mismatched ones the same way
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (quote != 0) {
            if (c == u'\\') {
                ++i;
            } else if (c == quote) {
                quote = 0;
            }
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(' || c == u'[' || c == u'{') {
            ++depth;
        } else if ((c == u')' || c == u']' || c == u'}') && depth > 0) {
            --depth;
        } else if (depth == 0 && isSeparator(c)) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

std::vector<std::u16string_view> SplitCssList(std::u16string_view text, char16_t separator) {
    return SplitOutsideStringsAndBrackets(text, [separator](char16_t c) { return c == separator; });
}

std::vector<std::u16string_view> SplitCssWords(std::u16string_view value) {
    std::vector<std::u16string_view> words = SplitOutsideStringsAndBrackets(value, IsHtmlWhitespace);
    std::erase_if(words, [](std::u16string_view word) { return word.empty(); });
    return words;
}

std::optional<CssDeclaration> ParseCssDeclaration(std::u16string_view declaration) {
    const std::size_t colon = declaration.find(u':');
    if (colon == std::u16string_view::npos) return std::nullopt;
    std::u16string_view value = TrimHtmlWhitespace(declaration.substr(colon + 1));
    constexpr std::u16string_view kImportant = u"important";
    if (value.size() >= kImportant.size() && AsciiLower(value.substr(value.size() - kImportant.size())) == kImportant) {
        const std::u16string_view before = TrimHtmlWhitespace(value.substr(0, value.size() - kImportant.size()));
        if (!before.empty() && before.back() == u'!') value = TrimHtmlWhitespace(before.substr(0, before.size() - 1));
    }
    return CssDeclaration{AsciiLower(TrimHtmlWhitespace(declaration.substr(0, colon))), value};
}

}  // namespace html
