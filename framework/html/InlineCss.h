// ParseInlineCss, ResolveFontSize: the declarations of a style attribute that
// the pane honours: colours, bold, italic, underline and strikeout, font
// size and text alignment.
//
// Everything else in the attribute is skipped, as CSS skips what it does not
// understand: a declaration whose value is malformed, or a CSS-wide keyword
// (inherit, initial, unset), leaves its property unset, and the declarations
// around it still count. Later declarations win; "!important" changes
// nothing, there being no other style to win against. Names and keywords are
// ASCII case-insensitive. Linear in the attribute's length.
#pragma once

#include "framework/html/Drawing.h"

#include "framework/html/Blocks.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace html {

struct TextDecorationLines {
    bool underline = false;
    bool lineThrough = false;

    friend bool operator==(const TextDecorationLines&, const TextDecorationLines&) = default;
};

// A font-size value: CSS pixels (px, pt, the keywords), or a factor of the
// parent's size (em, %, smaller, larger).
struct CssFontSize {
    enum class Kind : std::uint8_t { Pixels, OfParent };
    Kind kind = Kind::Pixels;
    double value = 0;

    friend bool operator==(const CssFontSize&, const CssFontSize&) = default;
};

// The font sizes ResolveFontSize gives, in CSS pixels: from a size still
// readable at all to well past any screen, so that nested relative sizes
// neither vanish nor grow without bound.
inline constexpr double kMinCssFontPixels = 1;
inline constexpr double kMaxCssFontPixels = 1000;

// `size` in CSS pixels for an element whose parent's font is `parentPixels`
// CSS pixels, within [kMinCssFontPixels, kMaxCssFontPixels].
double ResolveFontSize(const CssFontSize& size, double parentPixels);

// What a style attribute sets; an unset field keeps what the element would
// have without it.
struct InlineCss {
    std::optional<Color> color;
    // The inner value is empty for "transparent": no background of its own.
    std::optional<std::optional<Color>> backgroundColor;
    std::optional<bool> bold;    // font-weight: bolder and lighter only ever
                                 // cross 600 one way from 400 or 700
    std::optional<bool> italic;  // italic and oblique alike
    // The lines this element draws; "none" draws none of its own, which in
    // CSS does not remove those of an enclosing element.
    std::optional<TextDecorationLines> textDecoration;
    std::optional<CssFontSize> fontSize;
    std::optional<TextAlign> textAlign;
};

InlineCss ParseInlineCss(std::u16string_view styleAttribute);

}  // namespace html
