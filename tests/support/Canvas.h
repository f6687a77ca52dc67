// Canvas: a 32-bit DIB selected into a memory DC, filled with one colour,
// whose pixels tests read back directly, with no screen involved.
#pragma once

#include "framework/Gdi.h"

#include <windows.h>

#include <cstdint>
#include <functional>

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    CDC& Dc() { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Fill(COLORREF color);
    // As a COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y) const;
    // How many pixels of the rectangle (the whole canvas by default) have
    // `color`.
    int Count(COLORREF color) const { return Count(color, Whole()); }
    int Count(COLORREF color, const RECT& area) const;
    // Whether any pixel of the rectangle satisfies `test`.
    bool Any(const RECT& area, const std::function<bool(COLORREF)>& test) const;
    bool SamePixels(const Canvas& other) const;

private:
    RECT Whole() const { return {0, 0, m_width, m_height}; }

    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
    std::uint32_t* m_bits = nullptr;
    int m_width;
    int m_height;
};

inline bool IsDark(COLORREF c) { return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128; }
inline bool IsReddish(COLORREF c) { return GetRValue(c) > 160 && GetGValue(c) < 100 && GetBValue(c) < 100; }
