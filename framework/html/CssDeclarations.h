// WithoutCssComments, SplitCssList, SplitCssWords, ParseCssDeclaration: the pieces of CSS
// syntax that the template's style sheet and inline style attributes share.
//
// Not a CSS tokenizer: the pane reads a handful of properties whose values
// are keywords, numbers and colours, so splitting at separators outside
// strings and brackets gives the same declarations a tokenizer would, with
// the same recovery (a malformed declaration is dropped up to its ";").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace html {

// `css` with its comments removed; an unclosed comment runs to the end.
std::u16string WithoutCssComments(std::u16string_view css);

// The parts of `text` between the `separator`s that are outside quoted
// strings and outside (), [] and {} (an unclosed one runs to the end, as in
// CSS), so "a: f(1;2); b" is two parts.
std::vector<std::u16string_view> SplitCssList(std::u16string_view text, char16_t separator);

// The white-space-separated words of a value, with function arguments
// (as in "rgb(1, 2, 3)") kept inside their word.
std::vector<std::u16string_view> SplitCssWords(std::u16string_view value);

struct CssDeclaration {
    std::u16string property;    // ASCII-lowercased
    std::u16string_view value;  // trimmed, without a trailing "!important"
};

// "name: value" (from a list split at ";", comments already removed);
// nullopt without a colon.
std::optional<CssDeclaration> ParseCssDeclaration(std::u16string_view declaration);

}  // namespace html
