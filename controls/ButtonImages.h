// The skin button's image preparation: the transparency mask of a bitmap
// and its darkened and grey copies. Each answers a new bitmap that the
// caller owns, or null when a DC or bitmap cannot be made.
//
// The copies go pixel by pixel with GetPixel/SetPixel. They are made once,
// when a button's images are set, from bitmaps of a few hundred pixels; a
// DIB section would be faster but would tie the copies to one pixel format,
// where these come out compatible with the screen like every other bitmap
// the button blits.
#pragma once

#include <windows.h>

// A monochrome mask of `bitmap`: 1 where a pixel is exactly `transparent`,
// 0 elsewhere. The transparent pixels of `bitmap` itself are turned black,
// so that blitting the mask with SRCAND and then the bitmap with SRCPAINT
// draws the bitmap with its transparent pixels left out.
HBITMAP CreateMask(HBITMAP bitmap, int width, int height, COLORREF transparent);

// The darkening of the button's rest image: a quarter off each channel.
inline constexpr double kRestImageDarkening = 0.25;

// A copy with every pixel but the transparent ones darkened by
// kRestImageDarkening. Made before the mask: the mask blackens the
// transparent pixels.
HBITMAP CreateDarkImage(HBITMAP bitmap, int width, int height, COLORREF transparent);

// A copy with every pixel but the transparent ones turned to its grey.
HBITMAP CreateGreyImage(HBITMAP bitmap, int width, int height, COLORREF transparent);
