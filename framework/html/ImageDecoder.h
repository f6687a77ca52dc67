// DecodedImage, DecodeImage: image file bytes to premultiplied 32-bit pixels,
// as the pane draws them (framework/ImageFile.h decodes: GIF's first frame,
// PNG, JPEG, BMP and whatever else the system decodes).
//
// Runs on any thread that has initialised COM. An oversized image is
// refused before its memory is asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace html {

// No side may exceed this: 64 MB of pixels at most.
constexpr int kMaximumImageSide = 4096;

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // premultiplied BGRA, rows top-down
};

enum class DecodeResult { Decoded, Undecodable, TooLarge };

// Decodes the first frame of `bytes` into `image`.
DecodeResult DecodeImage(const std::uint8_t* bytes, std::size_t size, DecodedImage& image);

}  // namespace html
