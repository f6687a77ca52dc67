#include "LegacyColor.h"

#include "TextUnits.h"

#include <algorithm>
#include <string>

namespace html {
namespace {

struct NamedColor {
    std::u16string_view name;
    Color color;
};

// CSS's named colours, which the legacy rules use; sorted for the search.
constexpr NamedColor kNamedColors[] = {
    {u"aliceblue", Rgb(0xF0, 0xF8, 0xFF)},
    {u"antiquewhite", Rgb(0xFA, 0xEB, 0xD7)},
    {u"aqua", Rgb(0x00, 0xFF, 0xFF)},
    {u"aquamarine", Rgb(0x7F, 0xFF, 0xD4)},
    {u"azure", Rgb(0xF0, 0xFF, 0xFF)},
    {u"beige", Rgb(0xF5, 0xF5, 0xDC)},
    {u"bisque", Rgb(0xFF, 0xE4, 0xC4)},
    {u"black", Rgb(0x00, 0x00, 0x00)},
    {u"blanchedalmond", Rgb(0xFF, 0xEB, 0xCD)},
    {u"blue", Rgb(0x00, 0x00, 0xFF)},
    {u"blueviolet", Rgb(0x8A, 0x2B, 0xE2)},
    {u"brown", Rgb(0xA5, 0x2A, 0x2A)},
    {u"burlywood", Rgb(0xDE, 0xB8, 0x87)},
    {u"cadetblue", Rgb(0x5F, 0x9E, 0xA0)},
    {u"chartreuse", Rgb(0x7F, 0xFF, 0x00)},
    {u"chocolate", Rgb(0xD2, 0x69, 0x1E)},
    {u"coral", Rgb(0xFF, 0x7F, 0x50)},
    {u"cornflowerblue", Rgb(0x64, 0x95, 0xED)},
    {u"cornsilk", Rgb(0xFF, 0xF8, 0xDC)},
    {u"crimson", Rgb(0xDC, 0x14, 0x3C)},
    {u"cyan", Rgb(0x00, 0xFF, 0xFF)},
    {u"darkblue", Rgb(0x00, 0x00, 0x8B)},
    {u"darkcyan", Rgb(0x00, 0x8B, 0x8B)},
    {u"darkgoldenrod", Rgb(0xB8, 0x86, 0x0B)},
    {u"darkgray", Rgb(0xA9, 0xA9, 0xA9)},
    {u"darkgreen", Rgb(0x00, 0x64, 0x00)},
    {u"darkgrey", Rgb(0xA9, 0xA9, 0xA9)},
    {u"darkkhaki", Rgb(0xBD, 0xB7, 0x6B)},
    {u"darkmagenta", Rgb(0x8B, 0x00, 0x8B)},
    {u"darkolivegreen", Rgb(0x55, 0x6B, 0x2F)},
    {u"darkorange", Rgb(0xFF, 0x8C, 0x00)},
    {u"darkorchid", Rgb(0x99, 0x32, 0xCC)},
    {u"darkred", Rgb(0x8B, 0x00, 0x00)},
    {u"darksalmon", Rgb(0xE9, 0x96, 0x7A)},
    {u"darkseagreen", Rgb(0x8F, 0xBC, 0x8F)},
    {u"darkslateblue", Rgb(0x48, 0x3D, 0x8B)},
    {u"darkslategray", Rgb(0x2F, 0x4F, 0x4F)},
    {u"darkslategrey", Rgb(0x2F, 0x4F, 0x4F)},
    {u"darkturquoise", Rgb(0x00, 0xCE, 0xD1)},
    {u"darkviolet", Rgb(0x94, 0x00, 0xD3)},
    {u"deeppink", Rgb(0xFF, 0x14, 0x93)},
    {u"deepskyblue", Rgb(0x00, 0xBF, 0xFF)},
    {u"dimgray", Rgb(0x69, 0x69, 0x69)},
    {u"dimgrey", Rgb(0x69, 0x69, 0x69)},
    {u"dodgerblue", Rgb(0x1E, 0x90, 0xFF)},
    {u"firebrick", Rgb(0xB2, 0x22, 0x22)},
    {u"floralwhite", Rgb(0xFF, 0xFA, 0xF0)},
    {u"forestgreen", Rgb(0x22, 0x8B, 0x22)},
    {u"fuchsia", Rgb(0xFF, 0x00, 0xFF)},
    {u"gainsboro", Rgb(0xDC, 0xDC, 0xDC)},
    {u"ghostwhite", Rgb(0xF8, 0xF8, 0xFF)},
    {u"gold", Rgb(0xFF, 0xD7, 0x00)},
    {u"goldenrod", Rgb(0xDA, 0xA5, 0x20)},
    {u"gray", Rgb(0x80, 0x80, 0x80)},
    {u"green", Rgb(0x00, 0x80, 0x00)},
    {u"greenyellow", Rgb(0xAD, 0xFF, 0x2F)},
    {u"grey", Rgb(0x80, 0x80, 0x80)},
    {u"honeydew", Rgb(0xF0, 0xFF, 0xF0)},
    {u"hotpink", Rgb(0xFF, 0x69, 0xB4)},
    {u"indianred", Rgb(0xCD, 0x5C, 0x5C)},
    {u"indigo", Rgb(0x4B, 0x00, 0x82)},
    {u"ivory", Rgb(0xFF, 0xFF, 0xF0)},
    {u"khaki", Rgb(0xF0, 0xE6, 0x8C)},
    {u"lavender", Rgb(0xE6, 0xE6, 0xFA)},
    {u"lavenderblush", Rgb(0xFF, 0xF0, 0xF5)},
    {u"lawngreen", Rgb(0x7C, 0xFC, 0x00)},
    {u"lemonchiffon", Rgb(0xFF, 0xFA, 0xCD)},
    {u"lightblue", Rgb(0xAD, 0xD8, 0xE6)},
    {u"lightcoral", Rgb(0xF0, 0x80, 0x80)},
    {u"lightcyan", Rgb(0xE0, 0xFF, 0xFF)},
    {u"lightgoldenrodyellow", Rgb(0xFA, 0xFA, 0xD2)},
    {u"lightgray", Rgb(0xD3, 0xD3, 0xD3)},
    {u"lightgreen", Rgb(0x90, 0xEE, 0x90)},
    {u"lightgrey", Rgb(0xD3, 0xD3, 0xD3)},
    {u"lightpink", Rgb(0xFF, 0xB6, 0xC1)},
    {u"lightsalmon", Rgb(0xFF, 0xA0, 0x7A)},
    {u"lightseagreen", Rgb(0x20, 0xB2, 0xAA)},
    {u"lightskyblue", Rgb(0x87, 0xCE, 0xFA)},
    {u"lightslategray", Rgb(0x77, 0x88, 0x99)},
    {u"lightslategrey", Rgb(0x77, 0x88, 0x99)},
    {u"lightsteelblue", Rgb(0xB0, 0xC4, 0xDE)},
    {u"lightyellow", Rgb(0xFF, 0xFF, 0xE0)},
    {u"lime", Rgb(0x00, 0xFF, 0x00)},
    {u"limegreen", Rgb(0x32, 0xCD, 0x32)},
    {u"linen", Rgb(0xFA, 0xF0, 0xE6)},
    {u"magenta", Rgb(0xFF, 0x00, 0xFF)},
    {u"maroon", Rgb(0x80, 0x00, 0x00)},
    {u"mediumaquamarine", Rgb(0x66, 0xCD, 0xAA)},
    {u"mediumblue", Rgb(0x00, 0x00, 0xCD)},
    {u"mediumorchid", Rgb(0xBA, 0x55, 0xD3)},
    {u"mediumpurple", Rgb(0x93, 0x70, 0xDB)},
    {u"mediumseagreen", Rgb(0x3C, 0xB3, 0x71)},
    {u"mediumslateblue", Rgb(0x7B, 0x68, 0xEE)},
    {u"mediumspringgreen", Rgb(0x00, 0xFA, 0x9A)},
    {u"mediumturquoise", Rgb(0x48, 0xD1, 0xCC)},
    {u"mediumvioletred", Rgb(0xC7, 0x15, 0x85)},
    {u"midnightblue", Rgb(0x19, 0x19, 0x70)},
    {u"mintcream", Rgb(0xF5, 0xFF, 0xFA)},
    {u"mistyrose", Rgb(0xFF, 0xE4, 0xE1)},
    {u"moccasin", Rgb(0xFF, 0xE4, 0xB5)},
    {u"navajowhite", Rgb(0xFF, 0xDE, 0xAD)},
    {u"navy", Rgb(0x00, 0x00, 0x80)},
    {u"oldlace", Rgb(0xFD, 0xF5, 0xE6)},
    {u"olive", Rgb(0x80, 0x80, 0x00)},
    {u"olivedrab", Rgb(0x6B, 0x8E, 0x23)},
    {u"orange", Rgb(0xFF, 0xA5, 0x00)},
    {u"orangered", Rgb(0xFF, 0x45, 0x00)},
    {u"orchid", Rgb(0xDA, 0x70, 0xD6)},
    {u"palegoldenrod", Rgb(0xEE, 0xE8, 0xAA)},
    {u"palegreen", Rgb(0x98, 0xFB, 0x98)},
    {u"paleturquoise", Rgb(0xAF, 0xEE, 0xEE)},
    {u"palevioletred", Rgb(0xDB, 0x70, 0x93)},
    {u"papayawhip", Rgb(0xFF, 0xEF, 0xD5)},
    {u"peachpuff", Rgb(0xFF, 0xDA, 0xB9)},
    {u"peru", Rgb(0xCD, 0x85, 0x3F)},
    {u"pink", Rgb(0xFF, 0xC0, 0xCB)},
    {u"plum", Rgb(0xDD, 0xA0, 0xDD)},
    {u"powderblue", Rgb(0xB0, 0xE0, 0xE6)},
    {u"purple", Rgb(0x80, 0x00, 0x80)},
    {u"rebeccapurple", Rgb(0x66, 0x33, 0x99)},
    {u"red", Rgb(0xFF, 0x00, 0x00)},
    {u"rosybrown", Rgb(0xBC, 0x8F, 0x8F)},
    {u"royalblue", Rgb(0x41, 0x69, 0xE1)},
    {u"saddlebrown", Rgb(0x8B, 0x45, 0x13)},
    {u"salmon", Rgb(0xFA, 0x80, 0x72)},
    {u"sandybrown", Rgb(0xF4, 0xA4, 0x60)},
    {u"seagreen", Rgb(0x2E, 0x8B, 0x57)},
    {u"seashell", Rgb(0xFF, 0xF5, 0xEE)},
    {u"sienna", Rgb(0xA0, 0x52, 0x2D)},
    {u"silver", Rgb(0xC0, 0xC0, 0xC0)},
    {u"skyblue", Rgb(0x87, 0xCE, 0xEB)},
    {u"slateblue", Rgb(0x6A, 0x5A, 0xCD)},
    {u"slategray", Rgb(0x70, 0x80, 0x90)},
    {u"slategrey", Rgb(0x70, 0x80, 0x90)},
    {u"snow", Rgb(0xFF, 0xFA, 0xFA)},
    {u"springgreen", Rgb(0x00, 0xFF, 0x7F)},
    {u"steelblue", Rgb(0x46, 0x82, 0xB4)},
    {u"tan", Rgb(0xD2, 0xB4, 0x8C)},
    {u"teal", Rgb(0x00, 0x80, 0x80)},
    {u"thistle", Rgb(0xD8, 0xBF, 0xD8)},
    {u"tomato", Rgb(0xFF, 0x63, 0x47)},
    {u"turquoise", Rgb(0x40, 0xE0, 0xD0)},
    {u"violet", Rgb(0xEE, 0x82, 0xEE)},
    {u"wheat", Rgb(0xF5, 0xDE, 0xB3)},
    {u"white", Rgb(0xFF, 0xFF, 0xFF)},
    {u"whitesmoke", Rgb(0xF5, 0xF5, 0xF5)},
    {u"yellow", Rgb(0xFF, 0xFF, 0x00)},
    {u"yellowgreen", Rgb(0x9A, 0xCD, 0x32)},
};
static_assert(std::ranges::is_sorted(kNamedColors, {}, &NamedColor::name));

constexpr std::size_t kMaximumLength = 128;

// The digits, with what is not a hex digit read as "0" (a code point beyond
// U+FFFF as "00"), capped at 128 characters and padded with "0" to a
// non-zero multiple of three.
std::u16string HexDigitsOf(std::u16string_view value) {
    std::u16string digits;
    for (std::size_t i = 0; i < value.size() && digits.size() < kMaximumLength; ++i) {
        const char16_t c = value[i];
        if (IsHighSurrogate(c) && i + 1 < value.size() && IsLowSurrogate(value[i + 1])) {
            digits.append(u"00");
            ++i;
        } else {
            digits.push_back(IsAsciiHexDigit(c) ? c : u'0');
        }
    }
    digits.resize(std::min(digits.size(), kMaximumLength));
    while (digits.empty() || digits.size() % 3 != 0) digits.push_back(u'0');
    return digits;
}

}  // namespace

std::optional<Color> FindNamedColor(std::u16string_view name) {
    if (name.size() > 20) return std::nullopt;  // longer than any name
    const std::u16string lower = AsciiLower(name);
    const auto found = std::ranges::lower_bound(kNamedColors, std::u16string_view(lower), {}, &NamedColor::name);
    if (found == std::end(kNamedColors) || found->name != lower) return std::nullopt;
    return found->color;
}

std::optional<Color> ParseLegacyColor(std::u16string_view value) {
    if (value.empty()) return std::nullopt;
    value = TrimHtmlWhitespace(value);
    if (value.size() == 11 && AsciiLower(value) == u"transparent") return std::nullopt;
    if (const auto named = FindNamedColor(value)) return named;
    if (value.size() == 4 && value[0] == u'#' && IsAsciiHexDigit(value[1]) && IsAsciiHexDigit(value[2]) &&
        IsAsciiHexDigit(value[3]))
        return Rgb(HexDigitValue(value[1]) * 17, HexDigitValue(value[2]) * 17, HexDigitValue(value[3]) * 17);
    if (!value.empty() && value[0] == u'#') value.remove_prefix(1);

    const std::u16string digits = HexDigitsOf(value);
    // Of each component keep the last eight digits, then drop the zeros that
    // all three lead with, then keep the first two.
    const std::size_t componentLength = digits.size() / 3;
    std::size_t start = componentLength > 8 ? componentLength - 8 : 0;
    std::size_t length = componentLength - start;
    auto allLeadWithZero = [&] {
        return digits[start] == u'0' && digits[componentLength + start] == u'0' &&
               digits[2 * componentLength + start] == u'0';
    };
    while (length > 2 && allLeadWithZero()) {
        ++start;
        --length;
    }
    auto component = [&](std::size_t index) {
        const std::size_t first = index * componentLength + start;
        int result = 0;
        for (std::size_t i = 0; i < std::min<std::size_t>(length, 2); ++i)
            result = result * 16 + HexDigitValue(digits[first + i]);
        return result;
    };
    return Rgb(component(0), component(1), component(2));
}

}  // namespace html
