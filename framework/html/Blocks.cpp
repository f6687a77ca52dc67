#include "framework/html/Blocks.h"

#include <array>
#include <utility>

namespace html {

namespace {

// a, b, ..., z, aa, ab, ...: CSS's alphabetic counter, which has no zero.
std::u16string Alphabetic(std::int32_t number, char16_t first) {
    std::u16string letters;
    for (std::int64_t n = number; n > 0; n = (n - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char16_t>(first + (n - 1) % 26));
    }
    return letters;
}

std::u16string Roman(std::int32_t number, bool upper) {
    static constexpr std::array<std::pair<int, std::u16string_view>, 13> kNumerals = {{{1000, u"m"},
                                                                                       {900, u"cm"},
                                                                                       {500, u"d"},
                                                                                       {400, u"cd"},
                                                                                       {100, u"c"},
                                                                                       {90, u"xc"},
                                                                                       {50, u"l"},
                                                                                       {40, u"xl"},
                                                                                       {10, u"x"},
                                                                                       {9, u"ix"},
                                                                                       {5, u"v"},
                                                                                       {4, u"iv"},
                                                                                       {1, u"i"}}};
    std::u16string numeral;
    for (const auto& [value, letters] : kNumerals) {
        for (; number >= value; number -= value) {
            numeral += letters;
        }
    }
    if (upper) {
        for (char16_t& c : numeral) {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
    }
    return numeral;
}

}  // namespace

std::u16string DecimalText(std::int64_t number) {
    std::u16string digits;
    const bool negative = number < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude > 0);
    return negative ? u"-" + digits : digits;
}

std::u16string ListMarkerText(ListMarker marker, std::int32_t ordinal) {
    const bool alphabetic = marker == ListMarker::LowerAlpha || marker == ListMarker::UpperAlpha;
    const bool roman = marker == ListMarker::LowerRoman || marker == ListMarker::UpperRoman;
    if (marker == ListMarker::None || IsShapeMarker(marker)) {
        return {};
    }
    if (alphabetic && ordinal >= 1) {
        return Alphabetic(ordinal, marker == ListMarker::LowerAlpha ? u'a' : u'A') + u'.';
    }
    if (roman && ordinal >= 1 && ordinal <= 3999) {
        return Roman(ordinal, marker == ListMarker::UpperRoman) + u'.';
    }
    return DecimalText(ordinal) + u'.';
}

}  // namespace html
