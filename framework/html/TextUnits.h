// Classifying UTF-16 units, shared by every stage of the engine: parsing,
// the template's style, the flow, layout and hit testing. ASCII's letter
// case and classes come from framework/AsciiText.h, which window code also
// uses; what only markup and style need is here.
#pragma once

#include "framework/AsciiText.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace html {

// ASCII white space as HTML defines it (what collapses in text and is
// skipped around attribute values), which CSS and the legacy colour
// attributes also skip. The tokenizer's tags leave CR out: see
// HtmlTokenizer.cpp.
constexpr bool IsHtmlWhitespace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

constexpr std::u16string_view TrimHtmlWhitespace(std::u16string_view text) {
    while (!text.empty() && IsHtmlWhitespace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsHtmlWhitespace(text.back())) text.remove_suffix(1);
    return text;
}

// A fixed list of element (or other lower-case) names, and whether `name`
// is one of them.
using ElementNames = std::initializer_list<std::u16string_view>;

constexpr bool IsOneOf(std::u16string_view name, ElementNames names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace html
