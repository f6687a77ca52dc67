#include "framework/html/ImageDecoder.h"

#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

namespace html {
namespace {

// Holds one COM interface and releases it.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (m_p) m_p->Release();
    }
    Interface* operator->() const { return m_p; }
    Interface* get() const { return m_p; }
    Interface** out() { return &m_p; }

private:
    Interface* m_p = nullptr;
};

}  // namespace

DecodeResult DecodeImage(const std::uint8_t* bytes, std::size_t size, DecodedImage& image) {
    if (!bytes || size == 0 || size > UINT_MAX) return DecodeResult::Undecodable;
    ComRef<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.out())))) {
        return DecodeResult::Undecodable;
    }
    ComRef<IStream> stream;
    *stream.out() = ::SHCreateMemStream(bytes, static_cast<UINT>(size));
    if (!stream.get()) return DecodeResult::Undecodable;
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(
            factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.out()))) {
        return DecodeResult::Undecodable;
    }
    ComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.out()))) return DecodeResult::Undecodable;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return DecodeResult::Undecodable;
    if (width > kMaximumImageSide || height > kMaximumImageSide) return DecodeResult::TooLarge;

    ComRef<IWICBitmapSource> converted;
    if (FAILED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.get(), converted.out()))) {
        return DecodeResult::Undecodable;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    const UINT stride = width * 4;
    const UINT bufferSize = stride * height;  // at most 64 MB: fits
    if (FAILED(converted->CopyPixels(nullptr, stride, bufferSize, reinterpret_cast<BYTE*>(pixels.data())))) {
        return DecodeResult::Undecodable;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels = std::move(pixels);
    return DecodeResult::Decoded;
}

}  // namespace html
