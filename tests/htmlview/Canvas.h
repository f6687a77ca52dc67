// Canvas: a white 32-bit DIB selected into a memory DC, whose pixels tests
// read back directly.
#pragma once

#include "framework/Gdi.h"

#include <windows.h>

#include <cstdint>
#include <functional>

class Canvas {
public:
    Canvas(int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void Clear(COLORREF color = RGB(255, 255, 255));
    // As a COLORREF (0x00BBGGRR).
    COLORREF Pixel(int x, int y) const;
    // Whether any pixel of the rectangle satisfies `test`.
    bool Any(const RECT& area, const std::function<bool(COLORREF)>& test) const;
    bool SamePixels(const Canvas& other) const;

private:
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
    std::uint32_t* m_bits = nullptr;
    int m_width;
    int m_height;
};

inline bool IsDark(COLORREF c) { return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128; }
inline bool IsReddish(COLORREF c) { return GetRValue(c) > 160 && GetGValue(c) < 100 && GetBValue(c) < 100; }
