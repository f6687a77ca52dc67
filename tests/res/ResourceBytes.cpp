#include "ResourceBytes.h"

std::optional<ResourceBytes> FindResourceBytes(LPCSTR type, UINT id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return ResourceBytes{static_cast<const BYTE*>(data), SizeofResource(nullptr, found)};
}

std::optional<DibView> DibView::FromResource(const ResourceBytes& bytes) {
    BITMAPINFOHEADER header;
    if (bytes.size < sizeof header) return std::nullopt;
    CopyMemory(&header, bytes.data, sizeof header);
    if (header.biSize < sizeof header || header.biBitCount != 24 || header.biCompression != BI_RGB ||
        header.biWidth <= 0 || header.biHeight <= 0 || header.biWidth > 4096 || header.biHeight > 4096)
        return std::nullopt;
    const size_t stride = (static_cast<size_t>(header.biWidth) * 3 + 3) & ~size_t{3};
    const size_t needed = header.biSize + stride * static_cast<size_t>(header.biHeight);
    if (bytes.size < needed) return std::nullopt;
    return DibView(bytes.data + header.biSize, header.biWidth, header.biHeight, stride);
}

COLORREF DibView::Pixel(int x, int y) const {
    const BYTE* pixel = m_bits + static_cast<size_t>(m_height - 1 - y) * m_stride + x * 3;
    return RGB(pixel[2], pixel[1], pixel[0]);
}
