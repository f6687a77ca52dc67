// IsAsciiUpper, IsAsciiAlpha, IsAsciiDigit, IsAsciiHexDigit, HexDigitValue,
// AsciiLower, AsciiUpper: ASCII's letter case and character classes, for every width of
// text the program keeps (code page 949 bytes, UTF-16 units, a tokenizer's
// int that may hold its end of input).
//
// Only the 26 ASCII letters change case. Locale-aware case mapping would
// also fold letters that markup, URL schemes and command names never treat
// as the same, and in code page 949 it could touch the trail byte of a
// double-byte character, which takes values of ASCII letters; callers that
// walk such text skip trail bytes themselves. Window-free.
#pragma once

#include <concepts>
#include <string>
#include <string_view>

template <std::integral Char>
constexpr bool IsAsciiUpper(Char c) {
    return c >= 'A' && c <= 'Z';
}

template <std::integral Char>
constexpr bool IsAsciiAlpha(Char c) {
    return IsAsciiUpper(c) || (c >= 'a' && c <= 'z');
}

template <std::integral Char>
constexpr bool IsAsciiDigit(Char c) {
    return c >= '0' && c <= '9';
}

template <std::integral Char>
constexpr bool IsAsciiAlphanumeric(Char c) {
    return IsAsciiAlpha(c) || IsAsciiDigit(c);
}

template <std::integral Char>
constexpr bool IsAsciiHexDigit(Char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of a hex digit (`c` is one).
template <std::integral Char>
constexpr int HexDigitValue(Char c) {
    return IsAsciiDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}

template <std::integral Char>
constexpr Char AsciiLower(Char c) {
    return IsAsciiUpper(c) ? static_cast<Char>(c + ('a' - 'A')) : c;
}

template <std::integral Char>
constexpr Char AsciiUpper(Char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<Char>(c - ('a' - 'A')) : c;
}

inline std::u16string AsciiLower(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) c = AsciiLower(c);
    return lower;
}
