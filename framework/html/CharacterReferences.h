// MatchNamedReference, NumericReferenceCodePoint: the HTML standard's
// character references, for the tokenizer.
//
// The named table holds HTML 4's 252 names and the commonly used HTML5 ones,
// not all of HTML5's 2,231: chat text uses a handful, and a miss only leaves
// the reference as written. Names are case-sensitive ("AMP" and "amp" are two
// entries), as in the standard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace html {

struct NamedReferenceMatch {
    std::size_t length = 0;  // characters matched, the ";" included when it was there
    char32_t codePoint = 0;
    bool endsWithSemicolon = false;
};

// The longest reference name at the start of `text` (the characters after
// "&"): a name followed by ";", or one of the legacy names that stand without
// it, such as "nbsp" or "lt". Looks at no more than the longest name plus one.
std::optional<NamedReferenceMatch> MatchNamedReference(std::u16string_view text);

// The code point a numeric reference stands for. `value` is what the digits
// said, saturated at any value above U+10FFFF. Zero, surrogates and values
// beyond Unicode become U+FFFD; 0x80-0x9F are read as windows-1252, the way
// such text was really meant.
char32_t NumericReferenceCodePoint(std::uint32_t value);

}  // namespace html
