#include "framework/ImageFile.h"

#include <wincodec.h>

#include <climits>

ImageFileFrame::ImageFileFrame() = default;

ImageFileFrame::~ImageFileFrame() = default;

bool ImageFileFrame::Open(std::span<const std::uint8_t> file) {
    m_frame.Reset();
    m_width = m_height = 0;
    if (file.empty() || file.size() > UINT_MAX) return false;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    // The stream only reads the bytes.
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.Receive()))) ||
        FAILED(factory->CreateStream(stream.Receive())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(file.data()), static_cast<DWORD>(file.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.Receive())) ||
        FAILED(decoder->GetFrame(0, frame.Receive())) || FAILED(frame->GetSize(&width, &height)) || width == 0 ||
        height == 0 || width > INT_MAX || height > INT_MAX) {
        return false;
    }
    m_frame = std::move(frame);
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    return true;
}

bool ImageFileFrame::CopyPixels(FramePixels pixels, UINT stride, std::span<std::byte> rows) const {
    if (!m_frame || rows.size() > UINT_MAX) return false;
    const WICPixelFormatGUID& format =
        pixels == FramePixels::Bgr24 ? GUID_WICPixelFormat24bppBGR : GUID_WICPixelFormat32bppPBGRA;
    ComPtr<IWICBitmapSource> converted;
    return SUCCEEDED(::WICConvertBitmapSource(format, m_frame.Get(), converted.Receive())) &&
           SUCCEEDED(converted->CopyPixels(nullptr, stride, static_cast<UINT>(rows.size()),
                                           reinterpret_cast<BYTE*>(rows.data())));
}
