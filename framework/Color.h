// Color and the arithmetic on it: a COLORREF's value (0x00BBGGRR) for code
// that has no <windows.h>, its channels, and the lightened, darkened and grey
// forms the skinned controls derive from system and bitmap colours.
//
// One type for every colour of the program: the skin's strips, the HTML
// pane's colours and the controls' derived images all hold COLORREF values,
// and Windows calls take a Color as it is. Header-only, so window-free code
// (the HTML engine, the native fuzz build) needs no source of it.
#pragma once

#include <cstdint>

using Color = std::uint32_t;

// Each channel is cut to its low byte.
constexpr Color Rgb(int red, int green, int blue) {
    return static_cast<Color>(red & 0xFF) | (static_cast<Color>(green & 0xFF) << 8) |
           (static_cast<Color>(blue & 0xFF) << 16);
}

constexpr unsigned RedOf(Color color) { return color & 0xFF; }
constexpr unsigned GreenOf(Color color) { return (color >> 8) & 0xFF; }
constexpr unsigned BlueOf(Color color) { return (color >> 16) & 0xFF; }

// Whether `factor` is one the lightening and darkening take: 0 < factor <= 1.
// Written so that a NaN factor is none.
constexpr bool IsColorFactor(double factor) { return factor > 0.0 && factor <= 1.0; }

// Each channel moved `factor` of the way toward 255, truncated toward zero;
// the colour unchanged for any other factor. RGB(0, 0, 128) by 0.85 is
// RGB(216, 216, 235).
constexpr Color LightenColor(Color color, double factor) {
    if (!IsColorFactor(factor)) return color;
    const auto lighten = [factor](unsigned channel) { return static_cast<int>(channel + factor * (255.0 - channel)); };
    return Rgb(lighten(RedOf(color)), lighten(GreenOf(color)), lighten(BlueOf(color)));
}

// Each channel less `factor` of itself, truncated toward zero; the colour
// unchanged for any other factor. With 0.25, 255 becomes 191 and 1 becomes 0.
constexpr Color DarkenColor(Color color, double factor) {
    if (!IsColorFactor(factor)) return color;
    const auto darken = [factor](unsigned channel) { return static_cast<int>(channel - factor * channel); };
    return Rgb(darken(RedOf(color)), darken(GreenOf(color)), darken(BlueOf(color)));
}

// The grey of the colour's luminance in all three channels:
// 0.587 green + 0.114 blue + 0.299 red, added in that order (the last bit of
// a channel depends on it) and truncated toward zero.
constexpr Color GreyColor(Color color) {
    const int grey = static_cast<int>(0.587 * GreenOf(color) + 0.114 * BlueOf(color) + 0.299 * RedOf(color));
    return Rgb(grey, grey, grey);
}
