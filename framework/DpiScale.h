// DpiScale: lengths given at 96 DPI, the screens the skin was drawn for,
// turned into the pixels of a display of any DPI.
//
// Edges are scaled, not sizes: a piece from x to x + w covers Edge(x) to
// Edge(x + w), so pieces that meet at 96 DPI still meet at every scale and
// nothing gapes or overlaps by a rounding pixel. Lines keep a width of their
// own, never thinner than one pixel. At 96 DPI every length is itself.
//
// Window-free, in the style of Color.h: the layout arithmetic that uses it
// is tested without a window and builds natively.
#pragma once

#include <algorithm>

inline constexpr int kBaseDpi = 96;
// What the program draws for: 100 % to 500 % of the base. A DPI outside this
// (a malformed message, a display that reports 0) is brought into it.
inline constexpr int kMinimumDpi = 96;
inline constexpr int kMaximumDpi = 480;

class DpiScale {
public:
    constexpr DpiScale() = default;
    constexpr explicit DpiScale(int dpi) : m_dpi(std::clamp(dpi, kMinimumDpi, kMaximumDpi)) {}

    constexpr int Dpi() const { return m_dpi; }
    constexpr bool IsBase() const { return m_dpi == kBaseDpi; }

    // A position: the 96-DPI value times DPI / 96, rounded half away from
    // zero, so that -1 and 1 scale alike.
    constexpr int Edge(int value) const {
        const long long scaled = static_cast<long long>(value) * m_dpi;
        return static_cast<int>(scaled >= 0 ? (scaled + kBaseDpi / 2) / kBaseDpi
                                            : -((-scaled + kBaseDpi / 2) / kBaseDpi));
    }
    // The width of a line, at least one pixel.
    constexpr int Line(int width) const { return std::max(1, Edge(width)); }
    // A length in points (1/72 inch) as pixels, as a font's height is asked.
    constexpr int Points(int points) const {
        return static_cast<int>((static_cast<long long>(points) * m_dpi + 36) / 72);
    }

    friend constexpr bool operator==(DpiScale, DpiScale) = default;

private:
    int m_dpi = kBaseDpi;
};
