// Classifying UTF-16 units, shared by the flow, layout and hit testing.
#pragma once

namespace html {

// ASCII white space as HTML defines it (what collapses in text and is
// skipped around attribute values).
constexpr bool IsHtmlWhitespace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace html
