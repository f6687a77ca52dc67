// The pictures an owner-drawn menu paints besides its images: the embossed
// (disabled) form of an image, the faded and shadow copies of an image, and
// the check-mark and radio-dot glyphs.
#pragma once

#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "framework/ImageList.h"

#include <windows.h>

#include <functional>
#include <optional>

// A memory DC with a bitmap of its own selected into it; both are released
// together.
class MemoryCanvas {
public:
    // A bitmap compatible with `reference` (the screen when null).
    bool Create(HDC reference, int width, int height);
    // Takes `bitmap` (owned from now on) and selects it.
    bool Adopt(HDC reference, HBITMAP bitmap);
    // Gives up the bitmap (the caller owns it) and the DC.
    HBITMAP Release();

    CDCBase& Dc() { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    std::optional<CSelectedObject> m_selection;
};

// How the shape of a disabled image is worked out: a device-dependent
// monochrome bitmap filled by colour-to-mono copies, or a two-colour DIB
// section filled pixel by pixel. Both give the same picture.
enum class EmbossMask { MonochromeBitmap, DibSection };

// The disabled look of image `index`: its shape in COLOR_BTNHIGHLIGHT
// `offset` pixels right of and below (x, y), and in COLOR_BTNSHADOW at
// (x, y), on `ground`. Pixels of COLOR_BTNFACE or COLOR_BTNHIGHLIGHT count as
// background.
void DrawEmbossedImage(HDC target, const CImageList& images, int index, int x, int y, COLORREF ground, EmbossMask mask,
                       int offset);

// The colour a bitmap compatible with `reference` holds after being filled
// with `color` (the nearest colour the device has).
COLORREF DeviceColor(HDC reference, COLORREF color);

// A copy of image `index` drawn on COLOR_BTNFACE in which every pixel that is
// not the face colour becomes recolour(pixel); the caller owns it. Null when
// GDI fails.
HBITMAP MakeRecolouredCopy(const CImageList& images, int index, const std::function<COLORREF(COLORREF)>& recolour);

// The check mark: seven vertical strokes of three pixels, the tick shape, with
// its top-left corner at (x, y); at a larger scale each stroke is scaled by
// its edges, so the tick stays solid and crisp.
void DrawCheckMarkGlyph(HDC dc, int x, int y, COLORREF color, DpiScale scale);
// The radio dot: a filled 6 x 6 ellipse at (x, y), scaled.
void DrawRadioDotGlyph(HDC dc, int x, int y, COLORREF color, DpiScale scale);
