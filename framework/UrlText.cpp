#include "framework/UrlText.h"

#include "framework/AsciiText.h"

namespace {

bool NeedsEscape(char16_t c) {
    return c <= u' ' || c == 0x7F || c == u'"' || c == u'<' || c == u'>' || c == u'|' || c == u'^' || c == u'`';
}

}  // namespace

std::u16string CleanUrl(std::u16string_view url) {
    std::size_t first = 0;
    std::size_t last = url.size();
    while (first < last && url[first] <= u' ') ++first;
    while (last > first && url[last - 1] <= u' ') --last;
    std::u16string cleaned;
    cleaned.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) {
        const char16_t c = url[i];
        if (c != u'\t' && c != u'\n' && c != u'\r') cleaned += c;
    }
    return cleaned;
}

std::u16string UrlScheme(std::u16string_view cleanUrl) {
    const std::size_t colon = cleanUrl.find(u':');
    if (colon == std::u16string_view::npos || colon == 0 || !IsAsciiAlpha(cleanUrl[0])) return {};
    std::u16string scheme;
    for (std::size_t i = 0; i < colon; ++i) {
        const char16_t c = cleanUrl[i];
        if (!IsAsciiAlpha(c) && !IsAsciiDigit(c) && c != u'+' && c != u'-' && c != u'.') return {};
        scheme += AsciiLower(c);
    }
    return scheme;
}

std::wstring EscapeUrl(std::u16string_view url) {
    constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring escaped;
    escaped.reserve(url.size());
    for (const char16_t c : url) {
        if (NeedsEscape(c)) {
            escaped += L'%';
            escaped += kHex[(c >> 4) & 0xF];
            escaped += kHex[c & 0xF];
        } else {
            escaped += static_cast<wchar_t>(c);
        }
    }
    return escaped;
}
