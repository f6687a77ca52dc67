// ImageFileFrame: the first frame of an image file (PNG, GIF, JPEG, BMP and
// whatever else the system decodes), decoded by WIC into the pixels its
// caller keeps.
//
//   ImageFileFrame frame;
//   if (frame.Open(file) && frame.Width() <= kLargest && frame.Height() <= kLargest) {
//       std::vector<BYTE> rows(size_t{3} * frame.Width() * frame.Height());
//       frame.CopyPixels(FramePixels::Bgr24, 3 * frame.Width(), std::as_writable_bytes(std::span(rows)));
//   }
//
// Opening reads the picture's size before a pixel is decoded, so that an
// oversized image is refused before its memory is asked for. The file's
// bytes are read where they are, not copied: they must outlive the frame.
// Runs on a thread that has initialised COM, as WIC asks.
#pragma once

#include "framework/ComObject.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

struct IWICBitmapFrameDecode;

// How the caller keeps pixels, rows top-down.
enum class FramePixels {
    Bgr24,                // three bytes: blue, green, red
    PremultipliedBgra32,  // four bytes, the colour multiplied by alpha
};

class ImageFileFrame {
public:
    ImageFileFrame();
    ~ImageFileFrame();
    ImageFileFrame(const ImageFileFrame&) = delete;
    ImageFileFrame& operator=(const ImageFileFrame&) = delete;

    // Reads `file` as far as its first frame's size; false when it is not an
    // image the system decodes, or has no pixels.
    bool Open(std::span<const std::uint8_t> file);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The frame's pixels as `pixels` into `rows`, `stride` bytes apart.
    bool CopyPixels(FramePixels pixels, UINT stride, std::span<std::byte> rows) const;

private:
    ComPtr<IWICBitmapFrameDecode> m_frame;
    int m_width = 0;
    int m_height = 0;
};
