// The colour arithmetic of the skin button's derived images: the darkened
// copy shown at rest and the grey copy. Colours are COLORREF values
// (0x00BBGGRR); no <windows.h> here, so this builds natively for fuzzing.
#pragma once

#include <cstdint>

using ColorValue = std::uint32_t;

// Each channel less `factor` of itself, truncated toward zero; the colour
// unchanged unless 0 < factor <= 1. With 0.25, 255 becomes 191 and 1 becomes 0.
ColorValue DarkenColor(ColorValue color, double factor);

// The grey of the colour's luminance: 0.587 green + 0.114 blue + 0.299 red,
// truncated toward zero, in all three channels.
ColorValue GreyColor(ColorValue color);

// The darkening the button's rest image gets.
inline constexpr double kRestImageDarkening = 0.25;
