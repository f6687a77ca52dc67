// GdiImageStore: the pane's loaded images, by the id the document gave them,
// and their drawing.
//
// Pixels arrive premultiplied (as WIC gives them), which is what AlphaBlend
// wants, so transparent GIF and PNG images blend with the page. The store
// keeps the pixels in memory and makes a DIB section only while one image is
// drawn. A bitmap kept per image was the alternative, rejected: the
// conversation keeps every image it was ever sent, and a process has only
// some ten thousand GDI objects, so a busy room would use them all up and
// the window could no longer paint.
#pragma once

#include "framework/Gdi.h"
#include "framework/html/Drawing.h"
#include "framework/html/ImageDecoder.h"

#include <windows.h>

#include <unordered_map>

namespace html {

// How an image drawn at another size than its own is scaled. The pane at
// 96 DPI and 100 % keeps GDI's stretching, as it always drew; at any other
// scale every image is scaled and is scaled smoothly.
enum class ImageFilter { Nearest, Smooth };

class GdiImageStore {
public:
    // Makes a bitmap of `image` under `id`, replacing any before; false
    // (nothing stored) when the bitmap cannot be made.
    bool Add(int id, const DecodedImage& image);
    bool Contains(int id) const { return m_images.count(id) != 0; }
    void Clear() { m_images.clear(); }

    // Draws image `id` in `destination`: stretched by GDI (nearest pixel),
    // or with ImageFilter::Smooth and sizes that differ, scaled smoothly
    // (only what lies in the DC's clip box); false when there is no such
    // image or the drawing failed.
    bool Draw(HDC dc, int id, const Rect& destination, ImageFilter filter = ImageFilter::Nearest) const;

private:
    // Blends `image` stretched to `destination` by GDI.
    static bool Blend(HDC dc, const DecodedImage& image, const Rect& destination);

    using Image = DecodedImage;
    std::unordered_map<int, Image> m_images;
};

}  // namespace html
