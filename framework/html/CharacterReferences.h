// MatchNamedReference, NumericReferenceCodePoint: the HTML standard's
// character references, for the tokenizer.
//
// The named table holds every name of the standard, generated from Python's
// copy of it by tools/entities/make_character_references.py. Names are
// case-sensitive ("AMP" and "amp" are two entries), as in the standard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace html {

struct NamedReferenceMatch {
    std::size_t length = 0;  // characters matched, the ";" included when it was there
    char32_t codePoint = 0;
    char32_t secondCodePoint = 0;  // zero unless the name stands for two, as "NotEqualTilde" does
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
