#include "framework/html/GdiImageStore.h"

#include "framework/html/ImageScaler.h"

#include <algorithm>
#include <cstring>

namespace html {

namespace {

// A DIB section holding a copy of `image`'s pixels.
HBITMAP MakeBitmap(const DecodedImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down, as decoded
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) ::DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(std::uint32_t));
    return bitmap;
}

}  // namespace

bool GdiImageStore::Add(int id, const DecodedImage& image) {
    const std::size_t pixelCount = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != pixelCount) return false;
    m_images[id] = image;
    return true;
}

bool GdiImageStore::Draw(HDC dc, int id, const Rect& destination, ImageFilter filter) const {
    const auto found = m_images.find(id);
    if (found == m_images.end()) return false;
    const Image& image = found->second;
    if (filter == ImageFilter::Nearest ||
        (destination.Width() == image.width && destination.Height() == image.height)) {
        return Blend(dc, image, destination);
    }
    // Scaled smoothly, and only the part that can show.
    RECT clip{};
    Rect visible = destination;
    if (::GetClipBox(dc, &clip) != ERROR)
        visible = visible.Intersection(Rect{clip.left, clip.top, clip.right, clip.bottom});
    if (visible.IsEmpty()) return true;
    const Rect part{visible.left - destination.left, visible.top - destination.top, visible.right - destination.left,
                    visible.bottom - destination.top};
    const DecodedImage scaled = ScaleImagePart(image, destination.Width(), destination.Height(), part);
    return Blend(dc, scaled, visible);
}

bool GdiImageStore::Blend(HDC dc, const DecodedImage& image, const Rect& destination) {
    CBitmap bitmap;
    bitmap.Attach(MakeBitmap(image));
    CDC source;
    if (!bitmap.GetSafeHandle() || !source.CreateCompatibleDC(dc)) return false;
    CSelectedObject selected(source, bitmap);
    if (!selected.IsSelected()) return false;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::GdiAlphaBlend(dc, destination.left, destination.top, destination.Width(), destination.Height(), source, 0,
                           0, image.width, image.height, blend) != FALSE;
}

}  // namespace html
