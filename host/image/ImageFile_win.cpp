// The Windows decoders: the Windows Imaging Component, reading from memory.
// Frames are taken in their own pixel format where it is one of the plain
// 8- or 16-bit ones, so that 16-bit samples are rounded by the same code as
// natively (Wine's converter cannot even turn 48-bit colour into 24-bit);
// only the rest (palettes, CMYK, packed bits) go through WIC's converter.
#include <windows.h>
#include <wincodec.h>

#include <climits>
#include <new>
#include <vector>

#include "ImageAssembler.h"

namespace {
template <typename Interface>
struct ComPtr {
    Interface* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p != nullptr) p->Release();
    }
    Interface** Out() { return &p; }
    Interface* operator->() const { return p; }
};

// COM for the calling thread, for as long as the read lasts; a thread that
// already has it in another model keeps it.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

struct KnownFormat {
    const GUID* format;
    SampleLayout layout;  // channels, bits, bgr, alpha, premultiplied
};

const KnownFormat kKnownFormats[] = {
    {&GUID_WICPixelFormat8bppGray, {1, 8, false, false, false}},
    {&GUID_WICPixelFormat16bppGray, {1, 16, false, false, false}},
    {&GUID_WICPixelFormat24bppBGR, {3, 8, true, false, false}},
    {&GUID_WICPixelFormat24bppRGB, {3, 8, false, false, false}},
    {&GUID_WICPixelFormat32bppBGR, {4, 8, true, false, false}},
    {&GUID_WICPixelFormat32bppBGRA, {4, 8, true, true, false}},
    {&GUID_WICPixelFormat32bppRGBA, {4, 8, false, true, false}},
    {&GUID_WICPixelFormat32bppPBGRA, {4, 8, true, true, true}},
    {&GUID_WICPixelFormat32bppPRGBA, {4, 8, false, true, true}},
    {&GUID_WICPixelFormat48bppRGB, {3, 16, false, false, false}},
    {&GUID_WICPixelFormat48bppBGR, {3, 16, true, false, false}},
    {&GUID_WICPixelFormat64bppRGBA, {4, 16, false, true, false}},
    {&GUID_WICPixelFormat64bppBGRA, {4, 16, true, true, false}},
    {&GUID_WICPixelFormat64bppPRGBA, {4, 16, false, true, true}},
    {&GUID_WICPixelFormat64bppPBGRA, {4, 16, true, true, true}},
};

const SampleLayout* LayoutOf(const WICPixelFormatGUID& format) {
    for (const KnownFormat& known : kKnownFormats)
        if (IsEqualGUID(*known.format, format)) return &known.layout;
    return nullptr;
}

// WIC's codes in words where one is known; the code itself always, since a
// decoder may return any.
std::string Failed(const char* step, HRESULT result) {
    const char* meaning = result == WINCODEC_ERR_UNKNOWNIMAGEFORMAT ? ": unknown format or damaged file"
                          : result == WINCODEC_ERR_COMPONENTNOTFOUND ? ": no decoder for this file"
                          : result == WINCODEC_ERR_BADHEADER         ? ": damaged header"
                          : result == WINCODEC_ERR_BADIMAGE          ? ": damaged image"
                          : result == WINCODEC_ERR_BADSTREAMDATA     ? ": damaged data"
                          : result == WINCODEC_ERR_STREAMREAD        ? ": the file ends early"
                          : result == E_OUTOFMEMORY                  ? ": not enough memory"
                                                                     : "";
    char text[128];
    wsprintfA(text, "%s failed (0x%08lX%s)", step, static_cast<unsigned long>(result), meaning);
    return text;
}

// Rows are copied in bands: WIC decoders hand out any rectangle, and a band
// keeps the copy buffer small next to the planes.
constexpr UINT kBandRows = 64;
}  // namespace

bool DecodeWithPlatform(ImageFormat, const uint8_t* data, std::size_t size, ImageAssembler& image,
                        std::string& why) {
    if (uint64_t{size} > UINT_MAX) {
        why = "file too large for the Windows Imaging Component";
        return false;
    }
    ComApartment apartment;
    if (!apartment.Usable()) {
        why = "COM is not available";
        return false;
    }
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()));
    if (FAILED(result)) {
        why = Failed("starting the Windows Imaging Component", result);
        return false;
    }
    if (FAILED(result = factory->CreateStream(stream.Out())) ||
        FAILED(result = stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) ||
        FAILED(result = factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                         decoder.Out())) ||
        FAILED(result = decoder->GetFrame(0, frame.Out()))) {
        why = Failed("decoding", result);
        return false;
    }
    UINT width = 0, height = 0;
    WICPixelFormatGUID format{};
    if (FAILED(result = frame->GetSize(&width, &height)) || FAILED(result = frame->GetPixelFormat(&format))) {
        why = Failed("reading the header", result);
        return false;
    }
    if (!image.CheckSize(width, height, why)) return false;
    IWICBitmapSource* source = frame.p;
    const SampleLayout* layout = LayoutOf(format);
    if (layout == nullptr) {
        if (FAILED(result = factory->CreateFormatConverter(converter.Out())) ||
            FAILED(result = converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                                  nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
            why = Failed("converting its pixel format", result);
            return false;
        }
        source = converter.p;
        layout = LayoutOf(GUID_WICPixelFormat32bppBGRA);
    }
    if (!image.Begin(width, height, *layout, why)) return false;
    // Within the engine's limits a row is at most 65536 x 8 bytes and a band
    // 64 of them: 32 MB, far below UINT_MAX.
    const UINT stride = static_cast<UINT>(image.RowBytes());
    std::vector<uint8_t> band;
    try {
        band.resize(static_cast<std::size_t>(stride) * kBandRows);
    } catch (const std::bad_alloc&) {
        why = "not enough memory";
        return false;
    }
    for (UINT top = 0; top < height; top += kBandRows) {
        const UINT rows = height - top < kBandRows ? height - top : kBandRows;
        const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
        if (FAILED(result = source->CopyPixels(&rect, stride, stride * rows, band.data()))) {
            why = Failed("decoding the pixels", result);
            return false;
        }
        for (UINT y = 0; y < rows; ++y)
            image.PutRow(static_cast<int>(top + y), band.data() + static_cast<std::size_t>(stride) * y);
    }
    return true;
}
