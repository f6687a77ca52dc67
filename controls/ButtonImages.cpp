#include "controls/ButtonImages.h"

#include "framework/Color.h"
#include "framework/Gdi.h"

namespace {

using PixelFilter = COLORREF (*)(COLORREF);

COLORREF Darkened(COLORREF color) { return DarkenColor(color, kRestImageDarkening); }
COLORREF Greyed(COLORREF color) { return GreyColor(color); }

HBITMAP CreateFilteredCopy(HBITMAP bitmap, int width, int height, COLORREF transparent, PixelFilter filter) {
    const CClientDC screen(nullptr);
    CDC sourceDC;
    CDC copyDC;
    CBitmap copy;
    if (!screen.GetSafeHdc() || !sourceDC.CreateCompatibleDC(screen) || !copyDC.CreateCompatibleDC(screen) ||
        !copy.CreateCompatibleBitmap(screen, width, height)) {
        return nullptr;
    }
    {
        const CSelectedObject sourceIn(sourceDC, bitmap);
        const CSelectedObject copyIn(copyDC, copy);
        if (!sourceIn.IsSelected() || !copyIn.IsSelected()) return nullptr;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const COLORREF pixel = sourceDC.GetPixel(x, y);
                copyDC.SetPixel(x, y, pixel == transparent ? pixel : filter(pixel));
            }
        }
    }
    return copy.Detach();
}

}  // namespace

HBITMAP CreateMask(HBITMAP bitmap, int width, int height, COLORREF transparent) {
    CBitmap mask(::CreateBitmap(width, height, 1, 1, nullptr));
    CDC colorDC;
    CDC maskDC;
    if (!mask.GetSafeHandle() || !colorDC.CreateCompatibleDC(nullptr) || !maskDC.CreateCompatibleDC(nullptr)) {
        return nullptr;
    }
    {
        const CSelectedObject colorIn(colorDC, bitmap);
        const CSelectedObject maskIn(maskDC, mask);
        if (!colorIn.IsSelected() || !maskIn.IsSelected()) return nullptr;
        // Colour to monochrome: pixels of the background colour become 1.
        colorDC.SetBkColor(transparent);
        maskDC.BitBlt(0, 0, width, height, colorDC, 0, 0, SRCCOPY);
        // Monochrome to colour: 1 becomes the background colour (black),
        // 0 the text colour (white), so SRCAND blackens only the 1 pixels.
        colorDC.SetTextColor(RGB(255, 255, 255));
        colorDC.SetBkColor(RGB(0, 0, 0));
        colorDC.BitBlt(0, 0, width, height, maskDC, 0, 0, SRCAND);
    }
    return mask.Detach();
}

HBITMAP CreateDarkImage(HBITMAP bitmap, int width, int height, COLORREF transparent) {
    return CreateFilteredCopy(bitmap, width, height, transparent, &Darkened);
}

HBITMAP CreateGreyImage(HBITMAP bitmap, int width, int height, COLORREF transparent) {
    return CreateFilteredCopy(bitmap, width, height, transparent, &Greyed);
}
