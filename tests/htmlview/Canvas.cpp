#include "Canvas.h"

#include <algorithm>

Canvas::Canvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<std::uint32_t*>(bits);
    m_dc.CreateCompatibleDC(nullptr);
    m_previous = m_dc.SelectObject(m_bitmap);
    Clear();
}

Canvas::~Canvas() {
    if (m_previous) m_dc.SelectObject(m_previous);
}

void Canvas::Clear(COLORREF color) {
    ::GdiFlush();
    m_dc.FillSolidRect(0, 0, m_width, m_height, color);
}

COLORREF Canvas::Pixel(int x, int y) const {
    ::GdiFlush();
    const std::uint32_t bgra = m_bits[y * m_width + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

bool Canvas::Any(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    for (int y = std::max(0L, area.top); y < std::min<long>(m_height, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<long>(m_width, area.right); ++x) {
            if (test(Pixel(x, y))) return true;
        }
    }
    return false;
}

bool Canvas::SamePixels(const Canvas& other) const {
    if (other.m_width != m_width || other.m_height != m_height) return false;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (Pixel(x, y) != other.Pixel(x, y)) return false;
        }
    }
    return true;
}
