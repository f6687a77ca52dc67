// InlineStyle, StyleTable: the styles of the flow's runs, interned.
//
// Chat lines repeat a handful of looks (body text, bold blue nickname, purple
// id), so each run stores a 16-bit style id instead of a style. The table
// interns font families, fonts (FontSpec, whose id a drawing back end may
// cache by) and styles (font + colour). Every table is capped so that hostile
// input (a new colour or face on every line) cannot grow it without bound:
// past a cap, new looks fall back to what is already there (see Intern).
//
// Styles keep their font sizes in CSS pixels; the fonts handed to layout
// carry them in device pixels at the table's scale, so a new scale gives
// every font its new size without touching the flow's runs.
#pragma once

#include "framework/html/CssScale.h"
#include "framework/html/Drawing.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace html {

using StyleId = std::uint16_t;

// No colour: a background that lets what is behind show through.
inline constexpr Color kTransparent = 0xFFFFFFFF;

// The look of text while the flow is being built from a tree: what the
// enclosing elements made of the body style.
struct InlineStyle {
    std::uint16_t family = 0;  // index given by StyleTable::InternFamilies
    double pixelSize = 0;      // CSS pixels; fractional when given in points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    Color color = 0;
    Color background = kTransparent;
    double baselineShift = 0;  // CSS pixels up from the line's baseline (sup > 0, sub < 0)
};

class StyleTable {
public:
    static constexpr std::size_t kMaxFamilies = 256;
    static constexpr std::size_t kMaxFamiliesLength = 256;
    static constexpr std::size_t kMaxFonts = 1024;
    static constexpr std::size_t kMaxStyles = 0xFFFF;

    // Index of the family list `families` (cut at kMaxFamiliesLength units).
    // When the table is full, `fallback` is returned for a list not seen yet.
    std::uint16_t InternFamilies(std::u16string_view families, std::uint16_t fallback);

    // Style id for `style`. The first style interned gets id 0; when the
    // fonts or styles are exhausted, an unseen look gets style 0 (in the pane,
    // the body's), so text is still shown, only plainer.
    StyleId Intern(const InlineStyle& style);

    // Device pixels per CSS pixel for every font, from now on.
    void SetScale(const CssScale& scale);

    const FontSpec& Font(StyleId style) const { return m_fonts[m_styles[style].font]; }
    // Index of the style's font among Fonts(), for per-font caches.
    std::size_t FontIndex(StyleId style) const { return m_styles[style].font; }
    std::size_t FontCount() const { return m_fonts.size(); }
    Color TextColor(StyleId style) const { return m_styles[style].color; }
    // kTransparent when the text has no background of its own.
    Color Background(StyleId style) const { return m_styles[style].background; }
    // How far the text sits above the baseline (below when negative), in
    // device pixels at the table's scale.
    int BaselineShift(StyleId style) const;

private:
    struct Style {
        std::uint32_t font;
        Color color;
        Color background;
        double baselineShift;
        friend bool operator==(const Style&, const Style&) = default;
    };
    struct StyleHash {
        std::size_t operator()(const Style& style) const;
    };
    using FontKey = std::tuple<std::uint16_t, double, unsigned>;

    std::optional<std::uint32_t> InternFont(const InlineStyle& style);

    std::vector<std::u16string> m_families;
    std::unordered_map<std::u16string, std::uint16_t> m_familyIndex;
    CssScale m_scale;
    std::vector<FontSpec> m_fonts;
    std::vector<double> m_fontCssSizes;  // by font index
    std::map<FontKey, std::uint32_t> m_fontIndex;
    std::vector<Style> m_styles;
    std::unordered_map<Style, StyleId, StyleHash> m_styleIndex;
};

// A length in points (1/72 inch) in CSS pixels (1/96 inch), unrounded.
double PointsToCssPixels(double points);

// Pixel size of a font given in points, at the scale (by default the 96 DPI
// screen the pane was made for), kept within what a font can sensibly be:
// 8 pt is 11 px at 96 DPI and 21 px at 192.
int PointsToPixels(double points, const CssScale& scale = {});

// The HTML standard's rules for parsing a legacy font size ("1".."7", "+n"
// and "-n" relative to 3), as the pixel size of the CSS keyword it maps to;
// nullopt when the value has no digits.
std::optional<int> LegacyFontSizePixels(std::u16string_view value);

}  // namespace html
