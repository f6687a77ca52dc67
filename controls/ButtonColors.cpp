#include "controls/ButtonColors.h"

namespace {

constexpr unsigned RedOf(ColorValue color) { return color & 0xFF; }
constexpr unsigned GreenOf(ColorValue color) { return (color >> 8) & 0xFF; }
constexpr unsigned BlueOf(ColorValue color) { return (color >> 16) & 0xFF; }
constexpr ColorValue MakeColor(unsigned red, unsigned green, unsigned blue) {
    return red | (green << 8) | (blue << 16);
}

unsigned Darken(unsigned channel, double factor) {
    return static_cast<unsigned>(channel - factor * channel);
}

}  // namespace

ColorValue DarkenColor(ColorValue color, double factor) {
    // Written so that a NaN factor also leaves the colour alone.
    if (!(factor > 0.0 && factor <= 1.0)) return color;
    return MakeColor(Darken(RedOf(color), factor), Darken(GreenOf(color), factor), Darken(BlueOf(color), factor));
}

ColorValue GreyColor(ColorValue color) {
    // The sum in this order: the last bit of a channel depends on it.
    const double luminance = 0.587 * GreenOf(color) + 0.114 * BlueOf(color) + 0.299 * RedOf(color);
    const unsigned grey = static_cast<unsigned>(luminance);
    return MakeColor(grey, grey, grey);
}
