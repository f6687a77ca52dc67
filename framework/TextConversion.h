// ToWide, FromWide: the one crossing between the program's 8-bit text and
// the system's UTF-16.
//
// Text lives in 8-bit strings of code page 949 whatever code page the system
// gives non-Unicode programs, while windows, menus and the HTML document are
// UTF-16. Converting through the system's own code page instead is right
// only on a Korean system: an English Windows has code page 1252, where
// Hangul shows as mojibake and typed Hangul leaves as "?". So every crossing
// comes here, with the code page named.
#pragma once

#include "framework/CString.h"

#include <cstddef>
#include <string>
#include <string_view>

constexpr unsigned kTextCodePage = 949;

// The bytes of a double-byte character of code page 949: a lead byte, then a
// trail byte. A trail byte may have the value of an ASCII letter, so code
// that looks for ASCII in the text steps over whole characters.
constexpr bool IsCp949LeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
constexpr bool IsCp949TrailByte(unsigned char byte) {
    return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) || IsCp949LeadByte(byte);
}

// Invalid 8-bit sequences become the code page's default character, never an
// error: text from the network may hold any bytes. Null is empty text.
std::wstring ToWide(const char* text);
std::wstring ToWide(const char* text, std::size_t length);
inline std::wstring ToWide(const CString& text) {
    return ToWide(text.GetString(), static_cast<std::size_t>(text.GetLength()));
}

// A character that code page 949 cannot hold (an emoji, a lone surrogate)
// becomes one "?", as on a Korean system; the rest of the text is kept.
CString FromWide(std::wstring_view text);
inline CString FromWide(const wchar_t* text) { return text ? FromWide(std::wstring_view(text)) : CString(); }
