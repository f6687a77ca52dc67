#include "tests/support/TestImages.h"

#include <algorithm>

namespace {

void PutLe16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
void PutLe32(std::string& out, std::uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}
void PutBe32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t Crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t Adler32(const std::string& data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char c : data) {
        a = (a + static_cast<std::uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutChunk(std::string& png, const std::string& type, const std::string& data) {
    PutBe32(png, static_cast<std::uint32_t>(data.size()));
    const std::string typed = type + data;
    png += typed;
    PutBe32(png, Crc32(typed));
}

std::string StoredZlib(const std::string& raw) {
    std::string out = "\x78\x01";
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        PutLe16(out, static_cast<unsigned>(length));
        PutLe16(out, static_cast<unsigned>(~length & 0xFFFF));
        out += raw.substr(at, length);
        at += length;
    } while (at < raw.size());
    PutBe32(out, Adler32(raw));
    return out;
}

}  // namespace

std::string MakeBmp(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes) * static_cast<std::uint32_t>(height);
    std::string bmp = "BM";
    PutLe32(bmp, 14 + 40 + pixelBytes);
    PutLe32(bmp, 0);
    PutLe32(bmp, 14 + 40);
    PutLe32(bmp, 40);
    PutLe32(bmp, static_cast<std::uint32_t>(width));
    PutLe32(bmp, static_cast<std::uint32_t>(height));
    PutLe16(bmp, 1);
    PutLe16(bmp, 24);
    PutLe32(bmp, 0);  // BI_RGB
    PutLe32(bmp, pixelBytes);
    PutLe32(bmp, 2835);
    PutLe32(bmp, 2835);
    PutLe32(bmp, 0);
    PutLe32(bmp, 0);
    std::string row;
    for (int x = 0; x < width; ++x) row += {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
    row.resize(static_cast<std::size_t>(rowBytes), '\0');
    for (int y = 0; y < height; ++y) bmp += row;
    return bmp;
}

std::string MakePng(int width, int height, const std::vector<std::uint32_t>& rgba) {
    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    PutBe32(header, static_cast<std::uint32_t>(width));
    PutBe32(header, static_cast<std::uint32_t>(height));
    header += {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, no filter method, no interlace
    PutChunk(png, "IHDR", header);
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter: none
        for (int x = 0; x < width; ++x) PutBe32(raw, rgba[static_cast<std::size_t>(y * width + x)]);
    }
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", "");
    return png;
}
