// CssScale, the zoom steps: how many device pixels the pane gives a CSS
// pixel — the display's DPI over 96, times the reader's zoom.
//
// Every length the document is written in (font sizes, image sizes, body
// margins, the placeholders) is a CSS pixel, a 96-DPI pixel; layout turns
// each into device pixels once, rounded, so that the window, the caret and
// hit testing all work in the pixels on the screen. DpiScale alone cannot be
// the scale: it keeps to the displays' range (96..480 DPI), and the zoom
// goes past it on either side. At 96 DPI and 100 % every length is itself.
#pragma once

#include "framework/DpiScale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace html {

// The zoom steps of the browser control the pane stands in for, in percent.
inline constexpr std::array<int, 13> kZoomSteps = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
inline constexpr int kNormalZoom = 100;

// The step after (`steps` > 0) or before (`steps` < 0) `zoom`, counting
// `steps` of them and stopping at the ends; a zoom between two steps moves to
// the nearer one in that direction first.
inline int SteppedZoom(int zoom, int steps) {
    const auto at = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom);
    int index = static_cast<int>(at - kZoomSteps.begin());
    if (steps < 0 && (at == kZoomSteps.end() || *at != zoom)) {
        --index;  // already past the step below
        ++steps;
    } else if (steps > 0 && at != kZoomSteps.end() && *at != zoom) {
        --steps;  // the step above is the first one
    }
    return kZoomSteps[std::clamp(index + steps, 0, static_cast<int>(kZoomSteps.size()) - 1)];
}

class CssScale {
public:
    constexpr CssScale() = default;
    constexpr CssScale(DpiScale display, int zoomPercent)
        : m_dpi(display.Dpi()), m_zoom(std::clamp(zoomPercent, kZoomSteps.front(), kZoomSteps.back())) {}

    constexpr int Dpi() const { return m_dpi; }
    constexpr int ZoomPercent() const { return m_zoom; }
    constexpr bool IsOne() const { return m_dpi == kBaseDpi && m_zoom == kNormalZoom; }

    // A length in CSS pixels as device pixels, rounded half away from zero.
    constexpr int Length(int cssPixels) const {
        const long long scaled = static_cast<long long>(cssPixels) * m_dpi * m_zoom;
        constexpr long long kDivisor = static_cast<long long>(kBaseDpi) * kNormalZoom;
        return static_cast<int>(scaled >= 0 ? (scaled + kDivisor / 2) / kDivisor
                                            : -((-scaled + kDivisor / 2) / kDivisor));
    }
    // A line's width, never thinner than a device pixel.
    constexpr int Line(int cssPixels) const { return std::max(1, Length(cssPixels)); }
    // A border's width: none when it is 0, else never thinner than a device
    // pixel.
    constexpr int Border(int cssPixels) const { return cssPixels > 0 ? Line(cssPixels) : 0; }
    // A fractional CSS length (a font size given in points), rounded once.
    int Pixels(double cssPixels) const {
        return static_cast<int>(std::lround(cssPixels * m_dpi * m_zoom / (double{kBaseDpi} * kNormalZoom)));
    }

    friend constexpr bool operator==(const CssScale&, const CssScale&) = default;

private:
    int m_dpi = kBaseDpi;
    int m_zoom = kNormalZoom;
};

}  // namespace html
