// Image files made in memory for the decoding and loading tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A 24-bit BMP of `width` x `height`, every pixel the given colour.
std::string MakeBmp(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// A 32-bit RGBA PNG; `rgba` holds width * height pixels as 0xRRGGBBAA. The
// image data is deflate's "stored" blocks, which every inflater reads.
std::string MakePng(int width, int height, const std::vector<std::uint32_t>& rgba);
