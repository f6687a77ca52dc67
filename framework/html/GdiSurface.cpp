#include "framework/html/GdiSurface.h"

namespace html {
namespace {

constexpr Color kPlaceholderFrame = Rgb(0xA0, 0xA0, 0xA0);
constexpr Color kPlaceholderFill = Rgb(0xF0, 0xF0, 0xF0);

RECT ToRect(const Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

GdiSurface::GdiSurface(HDC dc, GdiFontCache& fonts, const GdiImageStore* images, ImageFilter imageFilter)
    : m_dc(dc), m_fonts(fonts), m_images(images), m_imageFilter(imageFilter) {
    // Everything below is undone by the matching RestoreDC in the destructor.
    ::SaveDC(m_dc);
    ::SetBkMode(m_dc, TRANSPARENT);
    ::SetTextAlign(m_dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
}

GdiSurface::~GdiSurface() {
    // Also pops the clips still pushed: each push saved a level above this one.
    ::RestoreDC(m_dc, -(m_clipDepth + 1));
}

FontMetrics GdiSurface::Metrics(const FontSpec& font) { return m_fonts.Metrics(font); }

int GdiSurface::TextWidth(const FontSpec& font, std::u16string_view text) { return m_fonts.TextWidth(font, text); }

int GdiSurface::FitCount(const FontSpec& font, std::u16string_view text, int maxWidth) {
    return m_fonts.FitCount(font, text, maxWidth);
}

void GdiSurface::FillRect(const Rect& rect, Color color) {
    if (rect.IsEmpty()) return;
    // An opaque empty text fills with the background colour without making a
    // brush per call.
    const RECT area = ToRect(rect);
    const COLORREF previous = ::SetBkColor(m_dc, color);
    ::ExtTextOutW(m_dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    ::SetBkColor(m_dc, previous);
}

void GdiSurface::DrawTextRun(const FontSpec& font, int x, int baseline, std::u16string_view text, Color color) {
    if (text.empty()) return;
    m_fonts.Shape(font, text, m_runs, m_advances);
    const COLORREF previousColor = ::SetTextColor(m_dc, color);
    const HGDIOBJ previousFont = ::GetCurrentObject(m_dc, OBJ_FONT);
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int left = x;
    for (const FaceRun& run : m_runs) {
        ::SelectObject(m_dc, run.font);
        const int count = static_cast<int>(run.end - run.begin);
        // The advances that layout measured place each character, so a run
        // drawn in a fallback face lands exactly where layout put it.
        const int* advances = m_advances.data() + run.begin;
        ::ExtTextOutW(m_dc, x, baseline, 0, nullptr, wide + run.begin, count, advances);
        if (run.emboldened) ::ExtTextOutW(m_dc, x + 1, baseline, 0, nullptr, wide + run.begin, count, advances);
        for (std::size_t i = run.begin; i < run.end; ++i) x += m_advances[i];
    }
    ::SelectObject(m_dc, previousFont);
    ::SetTextColor(m_dc, previousColor);
    DrawDecorations(font, left, x, baseline, color);
}

void GdiSurface::DrawDecorations(const FontSpec& font, int left, int right, int baseline, Color color) {
    if (!font.underline && !font.strikeout) return;
    const TextDecorations lines = m_fonts.Decorations(font);
    if (font.underline) {
        const int top = baseline + lines.underlineOffset;
        FillRect(Rect{left, top, right, top + lines.underlineThickness}, color);
    }
    if (font.strikeout) {
        const int top = baseline + lines.strikeoutOffset;
        FillRect(Rect{left, top, right, top + lines.strikeoutThickness}, color);
    }
}

void GdiSurface::DrawImage(int imageId, const Rect& destination) {
    if (destination.IsEmpty()) return;
    if (m_images && m_images->Draw(m_dc, imageId, destination, m_imageFilter)) return;
    DrawPlaceholder(destination);
}

void GdiSurface::DrawPlaceholder(const Rect& destination) {
    FillRect(destination, kPlaceholderFrame);
    const Rect inside{destination.left + 1, destination.top + 1, destination.right - 1, destination.bottom - 1};
    FillRect(inside, kPlaceholderFill);
}

void GdiSurface::PushClip(const Rect& rect) {
    ::SaveDC(m_dc);
    ++m_clipDepth;
    ::IntersectClipRect(m_dc, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiSurface::PopClip() {
    if (m_clipDepth == 0) return;
    ::RestoreDC(m_dc, -1);
    --m_clipDepth;
}

}  // namespace html
