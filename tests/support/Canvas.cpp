#include "tests/support/Canvas.h"

#include <algorithm>

Canvas::Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<std::uint32_t*>(bits);
    m_dc.CreateCompatibleDC(nullptr);
    m_previous = m_dc.SelectObject(m_bitmap);
    Fill(fill);
}

Canvas::~Canvas() {
    if (m_previous) m_dc.SelectObject(m_previous);
}

void Canvas::Fill(COLORREF color) {
    ::GdiFlush();
    m_dc.FillSolidRect(0, 0, m_width, m_height, color);
}

COLORREF Canvas::At(int x, int y) const {
    // GDI may still be batching drawing into the bits.
    ::GdiFlush();
    const std::uint32_t bgra = m_bits[y * m_width + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

int Canvas::Count(COLORREF color, const RECT& area) const {
    int count = 0;
    Any(area, [&](COLORREF pixel) {
        count += pixel == color;
        return false;
    });
    return count;
}

bool Canvas::Any(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    for (int y = std::max(0L, area.top); y < std::min<long>(m_height, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<long>(m_width, area.right); ++x) {
            if (test(At(x, y))) return true;
        }
    }
    return false;
}

bool Canvas::SamePixels(const Canvas& other) const {
    if (other.m_width != m_width || other.m_height != m_height) return false;
    ::GdiFlush();
    // The fourth byte of each pixel is not part of its colour.
    return std::equal(m_bits, m_bits + static_cast<size_t>(m_width) * static_cast<size_t>(m_height), other.m_bits,
                      [](std::uint32_t a, std::uint32_t b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); });
}
