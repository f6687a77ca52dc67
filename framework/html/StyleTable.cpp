#include "framework/html/StyleTable.h"

#include "framework/html/TextUnits.h"

#include <algorithm>
#include <cmath>

namespace html {

namespace {

constexpr int kMinPixelSize = 1;
constexpr int kMaxPixelSize = 144;
constexpr int kFallbackPixelSize = 12;  // 9 pt

// A font `cssPixels` tall, in device pixels at `scale`.
int FontPixels(double cssPixels, const CssScale& scale) {
    if (!std::isfinite(cssPixels)) {
        return kFallbackPixelSize;
    }
    return std::max(1, scale.Pixels(std::clamp(cssPixels, double{kMinPixelSize}, double{kMaxPixelSize})));
}

unsigned FontFlags(const InlineStyle& style) {
    return (style.bold ? 1u : 0u) | (style.italic ? 2u : 0u) | (style.underline ? 4u : 0u) |
           (style.strikeout ? 8u : 0u);
}

}  // namespace

std::uint16_t StyleTable::InternFamilies(std::u16string_view families, std::uint16_t fallback) {
    std::u16string key(families.substr(0, kMaxFamiliesLength));
    if (const auto found = m_familyIndex.find(key); found != m_familyIndex.end()) {
        return found->second;
    }
    if (m_families.size() >= kMaxFamilies) {
        return fallback;
    }
    const auto index = static_cast<std::uint16_t>(m_families.size());
    m_families.push_back(key);
    m_familyIndex.emplace(std::move(key), index);
    return index;
}

std::optional<std::uint32_t> StyleTable::InternFont(const InlineStyle& style) {
    const FontKey key{style.family, style.pixelSize, FontFlags(style)};
    if (const auto found = m_fontIndex.find(key); found != m_fontIndex.end()) {
        return found->second;
    }
    if (m_fonts.size() >= kMaxFonts || style.family >= m_families.size()) {
        return std::nullopt;
    }
    FontSpec font;
    font.id = static_cast<int>(m_fonts.size()) + 1;
    font.families = m_families[style.family];
    font.pixelSize = FontPixels(style.pixelSize, m_scale);
    font.bold = style.bold;
    font.italic = style.italic;
    font.underline = style.underline;
    font.strikeout = style.strikeout;
    const auto index = static_cast<std::uint32_t>(m_fonts.size());
    m_fonts.push_back(std::move(font));
    m_fontCssSizes.push_back(style.pixelSize);
    m_fontIndex.emplace(key, index);
    return index;
}

StyleId StyleTable::Intern(const InlineStyle& style) {
    const std::optional<std::uint32_t> font = InternFont(style);
    if (!font) {
        return 0;
    }
    const double shift = std::isfinite(style.baselineShift) ? style.baselineShift : 0;
    const Style key{*font, style.color, style.background,
                    std::clamp(shift, -double{kMaxPixelSize}, double{kMaxPixelSize})};
    if (const auto found = m_styleIndex.find(key); found != m_styleIndex.end()) {
        return found->second;
    }
    if (m_styles.size() >= kMaxStyles) {
        return 0;
    }
    const auto id = static_cast<StyleId>(m_styles.size());
    m_styles.push_back(key);
    m_styleIndex.emplace(key, id);
    return id;
}

std::size_t StyleTable::StyleHash::operator()(const Style& style) const {
    const std::uint64_t colors = (std::uint64_t{style.color} << 32) | style.background;
    return std::hash<std::uint64_t>{}(colors) ^ (std::hash<double>{}(style.baselineShift) << 1) ^
           (std::size_t{style.font} * 0x9E3779B97F4A7C15ull);
}

int StyleTable::BaselineShift(StyleId style) const { return m_scale.Pixels(m_styles[style].baselineShift); }

void StyleTable::SetScale(const CssScale& scale) {
    m_scale = scale;
    for (std::size_t index = 0; index < m_fonts.size(); ++index) {
        m_fonts[index].pixelSize = FontPixels(m_fontCssSizes[index], scale);
    }
}

double PointsToCssPixels(double points) { return points * 96.0 / 72.0; }

int PointsToPixels(double points, const CssScale& scale) { return FontPixels(PointsToCssPixels(points), scale); }

std::optional<int> LegacyFontSizePixels(std::u16string_view value) {
    // CSS's absolute size keywords x-small .. xxx-large for the legacy sizes
    // 1..7, with medium at 16 px.
    static constexpr int kPixels[] = {12, 13, 16, 19, 24, 32, 48};
    std::size_t position = 0;
    while (position < value.size() && IsHtmlWhitespace(value[position])) {
        ++position;
    }
    int sign = 0;
    if (position < value.size() && (value[position] == u'+' || value[position] == u'-')) {
        sign = value[position] == u'+' ? 1 : -1;
        ++position;
    }
    const std::size_t digitsStart = position;
    int number = 0;
    while (position < value.size() && value[position] >= u'0' && value[position] <= u'9') {
        number = std::min(number * 10 + (value[position] - u'0'), 1000);  // anything past 7 clamps anyway
        ++position;
    }
    if (position == digitsStart) {
        return std::nullopt;
    }
    const int size = std::clamp(sign == 0 ? number : 3 + sign * number, 1, 7);
    return kPixels[size - 1];
}

}  // namespace html
