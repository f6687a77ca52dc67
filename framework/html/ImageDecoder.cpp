#include "framework/html/ImageDecoder.h"

#include "framework/ImageFile.h"

#include <span>

namespace html {

DecodeResult DecodeImage(const std::uint8_t* bytes, std::size_t size, DecodedImage& image) {
    ImageFileFrame frame;
    if (!bytes || !frame.Open({bytes, size})) return DecodeResult::Undecodable;
    if (frame.Width() > kMaximumImageSide || frame.Height() > kMaximumImageSide) return DecodeResult::TooLarge;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(frame.Width()) * frame.Height());
    // At most 64 MB: the stride and the size fit a UINT.
    const auto stride = static_cast<UINT>(frame.Width()) * 4;
    if (!frame.CopyPixels(FramePixels::PremultipliedBgra32, stride, std::as_writable_bytes(std::span(pixels))))
        return DecodeResult::Undecodable;
    image.width = frame.Width();
    image.height = frame.Height();
    image.pixels = std::move(pixels);
    return DecodeResult::Decoded;
}

}  // namespace html
