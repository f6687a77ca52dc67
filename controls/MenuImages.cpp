#include "controls/MenuImages.h"

namespace {

// Paints `brush` where the mask holds the shape and keeps the ground
// elsewhere (D ^ (S & (P ^ D)), with the shape arriving as white).
constexpr DWORD kPaintBrushThroughShape = 0xE20746;

// The mask has background pixels as 1 and shape pixels as 0. Blitting it onto
// a colour DC maps 0 to the text colour and 1 to the background colour; with
// white and black the shape arrives as all ones.
void PaintShape(HDC work, HDC mask, int x, int y, int width, int height, int colorIndex) {
    CBrush brush;
    if (!brush.CreateSolidBrush(::GetSysColor(colorIndex))) return;
    const HGDIOBJ previous = ::SelectObject(work, brush);
    const COLORREF text = ::SetTextColor(work, RGB(255, 255, 255));
    const COLORREF back = ::SetBkColor(work, RGB(0, 0, 0));
    ::BitBlt(work, x, y, width, height, mask, 0, 0, kPaintBrushThroughShape);
    ::SetBkColor(work, back);
    ::SetTextColor(work, text);
    ::SelectObject(work, previous);
}

bool MakeMonochromeMask(MemoryCanvas& mask, HDC image, int width, int height) {
    if (!mask.Adopt(image, ::CreateBitmap(width, height, 1, 1, nullptr))) return false;
    ::PatBlt(mask, 0, 0, width, height, WHITENESS);
    const COLORREF previous = ::SetBkColor(image, ::GetSysColor(COLOR_BTNFACE));
    ::BitBlt(mask, 0, 0, width, height, image, 0, 0, SRCCOPY);
    ::SetBkColor(image, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::BitBlt(mask, 0, 0, width, height, image, 0, 0, SRCPAINT);
    ::SetBkColor(image, previous);
    return true;
}

// The colour table is (white, black) and the shape is index 0, so the mask
// reads the same whether a blit takes its colours from the table or from the
// DC's text and background colours.
bool MakeDibMask(MemoryCanvas& mask, HDC image, int width, int height) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colors[0] = RGBQUAD{255, 255, 255, 0};
    info.colors[1] = RGBQUAD{0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP dib =
        ::CreateDIBSection(image, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib) ::DeleteObject(dib);
        return false;
    }
    const COLORREF face = DeviceColor(image, ::GetSysColor(COLOR_BTNFACE));
    const COLORREF highlight = DeviceColor(image, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    const int stride = ((width + 31) / 32) * 4;
    auto* const rows = static_cast<BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = ::GetPixel(image, x, y);
            if (pixel == face || pixel == highlight) rows[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    ::GdiFlush();
    return mask.Adopt(image, dib);
}

}  // namespace

bool MemoryCanvas::Create(HDC reference, int width, int height) {
    HDC screen = nullptr;
    if (!reference) screen = reference = ::GetDC(nullptr);
    const bool made = Adopt(reference, ::CreateCompatibleBitmap(reference, width, height));
    if (screen) ::ReleaseDC(nullptr, screen);
    return made;
}

bool MemoryCanvas::Adopt(HDC reference, HBITMAP bitmap) {
    m_selection.reset();
    m_bitmap.Attach(bitmap);
    if (!bitmap || !m_dc.CreateCompatibleDC(reference)) return false;
    m_selection.emplace(m_dc, bitmap);
    return m_selection->IsSelected();
}

HBITMAP MemoryCanvas::Release() {
    m_selection.reset();
    m_dc.DeleteDC();
    return m_bitmap.Detach();
}

COLORREF DeviceColor(HDC reference, COLORREF color) {
    MemoryCanvas probe;
    if (!probe.Create(reference, 2, 2)) return color;
    probe.Dc().FillSolidRect(0, 0, 2, 2, color);
    return probe.Dc().GetPixel(1, 1);
}

void DrawEmbossedImage(HDC target, const CImageList& images, int index, int x, int y, COLORREF ground,
                       EmbossMask maskKind, int offset) {
    int width = 0;
    int height = 0;
    if (!images.GetImageSize(&width, &height)) return;
    MemoryCanvas image;
    MemoryCanvas mask;
    MemoryCanvas work;
    if (!image.Create(target, width, height) || !work.Create(target, width, height)) return;
    image.Dc().FillSolidRect(0, 0, width, height, ::GetSysColor(COLOR_BTNFACE));
    images.Draw(image, index, 0, 0, ILD_TRANSPARENT);
    const bool masked = maskKind == EmbossMask::DibSection ? MakeDibMask(mask, image, width, height)
                                                           : MakeMonochromeMask(mask, image, width, height);
    if (!masked) return;

    work.Dc().FillSolidRect(0, 0, width, height, ground);
    PaintShape(work, mask, 0, 0, width, height, COLOR_BTNHIGHLIGHT);
    ::BitBlt(target, x + offset, y + offset, width, height, work, 0, 0, SRCCOPY);
    PaintShape(work, mask, offset, offset, width, height, COLOR_BTNHIGHLIGHT);
    PaintShape(work, mask, 0, 0, width, height, COLOR_BTNSHADOW);
    ::BitBlt(target, x, y, width, height, work, 0, 0, SRCCOPY);
}

HBITMAP MakeRecolouredCopy(const CImageList& images, int index, const std::function<COLORREF(COLORREF)>& recolour) {
    int width = 0;
    int height = 0;
    MemoryCanvas canvas;
    if (!images.GetImageSize(&width, &height) || !canvas.Create(nullptr, width, height)) return nullptr;
    canvas.Dc().FillSolidRect(0, 0, width, height, ::GetSysColor(COLOR_BTNFACE));
    const COLORREF face = canvas.Dc().GetPixel(1, 1);
    images.Draw(canvas, index, 0, 0, ILD_TRANSPARENT);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const COLORREF pixel = canvas.Dc().GetPixel(x, y);
            if (pixel != face) canvas.Dc().SetPixel(x, y, recolour(pixel));
        }
    }
    return canvas.Release();
}

void DrawCheckMarkGlyph(HDC dc, int x, int y, COLORREF color, DpiScale scale) {
    static constexpr int kStrokeTops[] = {2, 3, 4, 3, 2, 1, 0};
    constexpr int kStrokeLength = 3;
    CBrush brush;
    if (!brush.CreateSolidBrush(color)) return;
    for (int stroke = 0; stroke < 7; ++stroke) {
        const int top = kStrokeTops[stroke];
        const RECT line{x + scale.Edge(stroke), y + scale.Edge(top), x + scale.Edge(stroke + 1),
                        y + scale.Edge(top + kStrokeLength)};
        ::FillRect(dc, &line, brush);
    }
}

void DrawRadioDotGlyph(HDC dc, int x, int y, COLORREF color, DpiScale scale) {
    CBrush brush;
    CPen pen;
    if (!brush.CreateSolidBrush(color) || !pen.CreatePen(PS_SOLID, 1, color)) return;
    const HGDIOBJ previousBrush = ::SelectObject(dc, brush);
    const HGDIOBJ previousPen = ::SelectObject(dc, pen);
    ::Ellipse(dc, x, y, x + scale.Edge(6), y + scale.Edge(6));
    ::SelectObject(dc, previousPen);
    ::SelectObject(dc, previousBrush);
}
