#include "framework/TextConversion.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The code page converts UTF-16 units one by one, so a character beyond the
// Basic Multilingual Plane would leave as "??". One "?" per character is what
// the user typed, so each pair (and each lone half) is made one "?" first.
std::wstring OneUnitPerCharacter(std::wstring_view text) {
    std::wstring units;
    units.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (!IsSurrogate(c)) {
            units += c;
            continue;
        }
        units += L'?';
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    }
    return units;
}

}  // namespace

std::wstring ToWide(const char* text) { return text ? ToWide(text, std::char_traits<char>::length(text)) : L""; }

std::wstring ToWide(const char* text, std::size_t length) {
    if (!text || length == 0 || length > INT_MAX) return {};
    const int size = static_cast<int>(length);
    const int needed = ::MultiByteToWideChar(kTextCodePage, 0, text, size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(kTextCodePage, 0, text, size, wide.data(), needed);
    return wide;
}

CString FromWide(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    if (std::any_of(text.begin(), text.end(), IsSurrogate)) return FromWide(OneUnitPerCharacter(text));
    const int size = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(kTextCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(kTextCodePage, 0, text.data(), size, narrow.data(), needed, nullptr, nullptr);
    return CString(std::move(narrow));
}
