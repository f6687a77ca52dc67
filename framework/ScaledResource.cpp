#include "framework/ScaledResource.h"

#include "framework/Dpi.h"
#include "framework/ImageFile.h"
#include "framework/SystemLibrary.h"

namespace {

// A skin picture is a few hundred pixels on a side; neither a resource nor a
// request beyond this is one, and its memory is not asked for.
constexpr int kMaximumSide = 4096;

// RT_RCDATA, which the headers declare narrow in a build without UNICODE.
const LPCWSTR kRcData = MAKEINTRESOURCEW(10);

// The bytes of RCDATA resource `id`, which stay in the module's image; empty
// when it is missing.
std::span<const std::uint8_t> FindRcData(HINSTANCE module, UINT id) {
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), kRcData);
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = found ? ::SizeofResource(module, found) : 0;
    if (!bytes) return {};
    return {static_cast<const std::uint8_t*>(bytes), size};
}

// The image file in RCDATA resource `id`, as 24-bit pixels.
std::optional<PixelImage> DecodeDrawing(HINSTANCE module, UINT id) {
    ImageFileFrame frame;
    if (!frame.Open(FindRcData(module, id)) || frame.Width() > kMaximumSide || frame.Height() > kMaximumSide) {
        return std::nullopt;
    }
    const UINT stride = static_cast<UINT>(frame.Width()) * 3;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * frame.Height());
    if (!frame.CopyPixels(FramePixels::Bgr24, stride, std::as_writable_bytes(std::span(rows)))) return std::nullopt;
    PixelImage image{frame.Width(), frame.Height(), std::vector<Color>(rows.size() / 3)};
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = Rgb(rows[i * 3 + 2], rows[i * 3 + 1], rows[i * 3]);
    }
    return image;
}

// A 24-bit top-down DIB section holding `image`.
HBITMAP MakeDibSection(const PixelImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t{3};
    for (int y = 0; y < image.height; ++y) {
        BYTE* row = static_cast<BYTE*>(bits) + y * stride;
        for (int x = 0; x < image.width; ++x) {
            const Color color = image.At(x, y);
            row[x * 3] = static_cast<BYTE>(BlueOf(color));
            row[x * 3 + 1] = static_cast<BYTE>(GreenOf(color));
            row[x * 3 + 2] = static_cast<BYTE>(RedOf(color));
        }
    }
    return bitmap;
}

// LoadIconWithScaleDown lives in version 6 of the common controls only, so
// it is looked up where the program runs.
using LoadIconWithScaleDownFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

LoadIconWithScaleDownFunction IconScaler() {
    return LoadedModuleFunction<LoadIconWithScaleDownFunction>(L"comctl32.dll", "LoadIconWithScaleDown");
}

}  // namespace

HBITMAP LoadScaledBitmap(HINSTANCE module, UINT bitmapId, std::span<const ScaledDrawing> drawings, UINT dpi, SIZE size,
                         std::optional<COLORREF> key) {
    const DpiScale scale(static_cast<int>(dpi));
    if (scale.IsBase()) {
        return static_cast<HBITMAP>(
            ::LoadImageW(module, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    }
    const int chosen = ChooseDrawing(drawings, scale.Dpi());
    if (chosen < 0 || size.cx <= 0 || size.cy <= 0 || size.cx > kMaximumSide || size.cy > kMaximumSide) return nullptr;
    const std::optional<PixelImage> drawing = DecodeDrawing(module, drawings[static_cast<size_t>(chosen)].resourceId);
    if (!drawing) return nullptr;
    if (drawing->width == size.cx && drawing->height == size.cy) return MakeDibSection(*drawing);
    return MakeDibSection(ScalePixels(*drawing, size.cx, size.cy, key));
}

HICON LoadIconForDpi(HINSTANCE module, UINT iconId, IconKind kind, UINT dpi) {
    const bool big = kind == IconKind::Big;
    const int width = SystemMetricForDpi(big ? SM_CXICON : SM_CXSMICON, dpi);
    const int height = SystemMetricForDpi(big ? SM_CYICON : SM_CYSMICON, dpi);
    if (const LoadIconWithScaleDownFunction scaleDown = IconScaler()) {
        HICON icon = nullptr;
        if (SUCCEEDED(scaleDown(module, MAKEINTRESOURCEW(iconId), width, height, &icon))) return icon;
    }
    return static_cast<HICON>(
        ::LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}
