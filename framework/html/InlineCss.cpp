#include "framework/html/InlineCss.h"

#include "framework/html/CssDeclarations.h"
#include "framework/html/LegacyColor.h"
#include "framework/html/StyleTable.h"
#include "framework/html/TextUnits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace html {

namespace {

// Values arrive ASCII-lowercased, so keywords compare as they are.

// A CSS number at the start of `text` ("12", "-.5", "+1e3"), with `text`
// left at what follows it (the unit); nullopt when none starts there or it
// is out of a double's range.
std::optional<double> ReadNumber(std::u16string_view& text) {
    std::string ascii;
    std::size_t position = 0;
    const auto take = [&](auto accepts) {
        const std::size_t start = position;
        for (; position < text.size() && accepts(text[position]); ++position)
            ascii.push_back(static_cast<char>(text[position]));
        return position > start;
    };
    const auto isSign = [](char16_t c) { return c == u'+' || c == u'-'; };
    const auto isDigit = [](char16_t c) { return IsAsciiDigit(c); };
    if (position < text.size() && isSign(text[position])) {
        if (text[position] == u'-') ascii.push_back('-');
        ++position;
    }
    bool digits = take(isDigit);
    if (position + 1 < text.size() && text[position] == u'.' && IsAsciiDigit(text[position + 1])) {
        ascii.push_back('.');
        ++position;
        digits = take(isDigit);
    }
    if (!digits) return std::nullopt;
    if (position + 1 < text.size() && text[position] == u'e') {
        const std::size_t mark = position;
        const std::size_t length = ascii.size();
        ascii.push_back('e');
        ++position;
        if (isSign(text[position])) ascii.push_back(static_cast<char>(text[position++]));
        if (!take(isDigit)) {  // "1em": the e starts the unit
            position = mark;
            ascii.resize(length);
        }
    }
    double number = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), number);
    if (error != std::errc{} || !std::isfinite(number)) return std::nullopt;
    text.remove_prefix(position);
    return number;
}

// A number followed by exactly `unit`.
std::optional<double> NumberWithUnit(std::u16string_view value, std::u16string_view unit) {
    const std::optional<double> number = ReadNumber(value);
    return number && value == unit ? number : std::nullopt;
}

// An rgb() argument: a number, or a percentage of 255.
struct Channel {
    double value;
    bool percent;
};

std::optional<Channel> ReadChannel(std::u16string_view word) {
    std::optional<double> number = ReadNumber(word);
    if (!number || (word != u"" && word != u"%")) return std::nullopt;
    return Channel{*number, word == u"%"};
}

int ChannelByte(const Channel& channel) {
    return static_cast<int>(
        std::lround(std::clamp(channel.percent ? channel.value * 255 / 100 : channel.value, 0.0, 255.0)));
}

// rgb(r, g, b[, a]) or rgb(r g b[ / a]), and rgba() alike (`value` starts
// with one of them); the alpha is read and dropped.
std::optional<Color> ParseRgbFunction(std::u16string_view value) {
    value.remove_prefix(value.find(u'(') + 1);
    if (value.ends_with(u')')) value.remove_suffix(1);  // an unclosed function closes at the end
    std::vector<std::u16string_view> channels;
    std::optional<std::u16string_view> alpha;
    const bool legacy = value.find(u',') != std::u16string_view::npos;
    if (legacy) {
        channels = SplitCssList(value, u',');
        for (std::u16string_view& channel : channels) channel = TrimHtmlWhitespace(channel);
        if (channels.size() == 4) {
            alpha = channels.back();
            channels.pop_back();
        }
    } else {
        const std::size_t slash = value.find(u'/');
        channels = SplitCssWords(value.substr(0, slash));
        if (slash != std::u16string_view::npos) alpha = TrimHtmlWhitespace(value.substr(slash + 1));
    }
    if (channels.size() != 3 || (alpha && !ReadChannel(*alpha))) return std::nullopt;
    std::optional<Channel> read[3];
    for (int i = 0; i < 3; ++i) {
        read[i] = ReadChannel(channels[i]);
        if (!read[i]) return std::nullopt;
    }
    if (legacy && (read[0]->percent != read[1]->percent || read[0]->percent != read[2]->percent)) return std::nullopt;
    return Rgb(ChannelByte(*read[0]), ChannelByte(*read[1]), ChannelByte(*read[2]));
}

// #rgb, #rgba, #rrggbb, #rrggbbaa, without the "#"; the alpha is dropped.
std::optional<Color> ParseHexColor(std::u16string_view digits) {
    if (!std::ranges::all_of(digits, [](char16_t c) { return IsAsciiHexDigit(c); })) return std::nullopt;
    const std::size_t perChannel = digits.size() == 3 || digits.size() == 4 ? 1 : 2;
    if (digits.size() != 3 * perChannel && digits.size() != 4 * perChannel) return std::nullopt;
    const auto channel = [&](std::size_t index) {
        const int first = HexDigitValue(digits[index * perChannel]);
        return perChannel == 1 ? first * 17 : first * 16 + HexDigitValue(digits[index * perChannel + 1]);
    };
    return Rgb(channel(0), channel(1), channel(2));
}

// A colour value; the inner value is empty for "transparent".
std::optional<std::optional<Color>> ParseColor(std::u16string_view value) {
    if (value == u"transparent") return std::optional<Color>{};
    std::optional<Color> color;
    if (value.starts_with(u'#')) {
        color = ParseHexColor(value.substr(1));
    } else if (value.starts_with(u"rgb(") || value.starts_with(u"rgba(")) {
        color = ParseRgbFunction(value);
    } else {
        color = FindNamedColor(value);
    }
    if (!color) return std::nullopt;
    return color;
}

std::optional<bool> ParseFontWeight(std::u16string_view value) {
    if (value == u"normal" || value == u"lighter") return false;
    if (value == u"bold" || value == u"bolder") return true;
    const std::optional<double> weight = NumberWithUnit(value, u"");
    if (!weight || *weight < 1 || *weight > 1000) return std::nullopt;
    return *weight >= 600;
}

std::optional<bool> ParseFontStyle(std::u16string_view value) {
    if (value == u"normal") return false;
    if (value == u"italic" || value == u"oblique") return true;
    return std::nullopt;
}

bool IsDecorationStyle(std::u16string_view word) {
    return word == u"solid" || word == u"double" || word == u"dotted" || word == u"dashed" || word == u"wavy";
}

// text-decoration-line's words, or with `shorthand` text-decoration's,
// whose style and colour may come along (and are not drawn).
std::optional<TextDecorationLines> ParseTextDecoration(std::u16string_view value, bool shorthand) {
    const std::vector<std::u16string_view> words = SplitCssWords(value);
    if (words.size() == 1 && words.front() == u"none") return TextDecorationLines{};
    TextDecorationLines lines;
    bool anyLine = false;
    for (const std::u16string_view word : words) {
        if (word == u"underline") {
            lines.underline = true;
        } else if (word == u"line-through") {
            lines.lineThrough = true;
        } else if (word != u"overline" && word != u"blink" &&
                   !(shorthand && (IsDecorationStyle(word) || ParseColor(word)))) {
            return std::nullopt;
        }
        anyLine |= word == u"underline" || word == u"line-through" || word == u"overline" || word == u"blink";
    }
    if (words.empty() || (!shorthand && !anyLine)) return std::nullopt;
    return lines;
}

// CSS's absolute size keywords are the legacy font sizes 1..7, and
// xx-small, which has no legacy size, is three fifths of medium as
// browsers round it.
std::optional<double> FontSizeKeywordPixels(std::u16string_view value) {
    if (value == u"xx-small") return 9;
    constexpr std::u16string_view kKeywords[] = {u"x-small", u"small",    u"medium",   u"large",
                                                 u"x-large", u"xx-large", u"xxx-large"};
    const auto found = std::ranges::find(kKeywords, value);
    if (found == std::end(kKeywords)) return std::nullopt;
    const auto legacySize = static_cast<char16_t>(u'1' + (found - std::begin(kKeywords)));
    return *LegacyFontSizePixels(std::u16string_view(&legacySize, 1));
}

std::optional<CssFontSize> ParseFontSize(std::u16string_view value) {
    using Kind = CssFontSize::Kind;
    constexpr double kStep = 1.2;  // smaller and larger, as browsers step
    if (const auto pixels = FontSizeKeywordPixels(value)) return CssFontSize{Kind::Pixels, *pixels};
    if (value == u"smaller") return CssFontSize{Kind::OfParent, 1 / kStep};
    if (value == u"larger") return CssFontSize{Kind::OfParent, kStep};
    std::u16string_view unit = value;
    const std::optional<double> number = ReadNumber(unit);
    if (!number || *number < 0) return std::nullopt;
    if (unit == u"px" || (unit.empty() && *number == 0)) return CssFontSize{Kind::Pixels, *number};
    if (unit == u"pt") return CssFontSize{Kind::Pixels, PointsToCssPixels(*number)};
    if (unit == u"em") return CssFontSize{Kind::OfParent, *number};
    if (unit == u"%") return CssFontSize{Kind::OfParent, *number / 100};
    return std::nullopt;
}

// The pane's text runs left to right, so start is left and end is right;
// justify is read as left, as the pane does not stretch lines.
std::optional<TextAlign> ParseTextAlign(std::u16string_view value) {
    if (value == u"left" || value == u"justify") return TextAlign::Left;
    if (value == u"right") return TextAlign::Right;
    if (value == u"center") return TextAlign::Center;
    if (value == u"start") return TextAlign::Left;
    if (value == u"end") return TextAlign::Right;
    return std::nullopt;
}

template <typename Value>
void SetIfValid(std::optional<Value>& field, std::optional<Value> parsed) {
    if (parsed) field = std::move(parsed);
}

void ApplyDeclaration(InlineCss& style, std::u16string_view property, std::u16string_view value) {
    if (property == u"color") {
        if (const auto color = ParseColor(value); color && *color) style.color = **color;
    } else if (property == u"background-color") {
        SetIfValid(style.backgroundColor, ParseColor(value));
    } else if (property == u"font-weight") {
        SetIfValid(style.bold, ParseFontWeight(value));
    } else if (property == u"font-style") {
        SetIfValid(style.italic, ParseFontStyle(value));
    } else if (property == u"text-decoration" || property == u"text-decoration-line") {
        SetIfValid(style.textDecoration, ParseTextDecoration(value, property == u"text-decoration"));
    } else if (property == u"font-size") {
        SetIfValid(style.fontSize, ParseFontSize(value));
    } else if (property == u"text-align") {
        SetIfValid(style.textAlign, ParseTextAlign(value));
    }
}

}  // namespace

double ResolveFontSize(const CssFontSize& size, double parentPixels) {
    const double pixels = size.kind == CssFontSize::Kind::Pixels ? size.value : size.value * parentPixels;
    if (!std::isfinite(pixels)) return kMaxCssFontPixels;
    return std::clamp(pixels, kMinCssFontPixels, kMaxCssFontPixels);
}

InlineCss ParseInlineCss(std::u16string_view styleAttribute) {
    InlineCss style;
    const std::u16string css = WithoutCssComments(styleAttribute);
    for (const std::u16string_view part : SplitCssList(css, u';')) {
        if (const std::optional<CssDeclaration> declaration = ParseCssDeclaration(part))
            ApplyDeclaration(style, declaration->property, AsciiLower(declaration->value));
    }
    return style;
}

}  // namespace html
