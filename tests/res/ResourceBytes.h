// ResourceBytes: the raw bytes of a resource linked into the test program,
// and a reader for the pixels of a bitmap resource (a packed DIB: header,
// then rows bottom-up, each padded to 4 bytes).
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

struct ResourceBytes {
    const BYTE* data = nullptr;
    size_t size = 0;
};

std::optional<ResourceBytes> FindResourceBytes(LPCSTR type, UINT id);

class DibView {
public:
    // Empty when the bytes are not an uncompressed 24-bit DIB of sane size.
    static std::optional<DibView> FromResource(const ResourceBytes& bytes);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF Pixel(int x, int y) const;  // (0, 0) is the top-left pixel

private:
    DibView(const BYTE* bits, int width, int height, size_t stride)
        : m_bits(bits), m_width(width), m_height(height), m_stride(stride) {}

    const BYTE* m_bits;
    int m_width;
    int m_height;
    size_t m_stride;
};
