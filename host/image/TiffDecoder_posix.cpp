// The native TIFF reader: libtiff reading from memory through our
// callbacks, its messages caught instead of printed.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "ImageAssembler.h"

namespace {
// libtiff allocates strips and tiles as their tags say; no sane strip of an
// image within the engine's limits is larger.
constexpr tmsize_t kMaxTiffAllocation = tmsize_t{256} << 20;

struct TiffInput {
    const uint8_t* data;
    uint64_t size;
    uint64_t position;
    std::string message;  // libtiff's latest error, the one nearest the failure
};

TiffInput& InputOf(thandle_t handle) { return *static_cast<TiffInput*>(handle); }

tmsize_t TiffRead(thandle_t handle, void* out, tmsize_t length) {
    TiffInput& input = InputOf(handle);
    if (length <= 0 || input.position >= input.size) return 0;
    const uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(length), input.size - input.position);
    std::memcpy(out, input.data + input.position, static_cast<std::size_t>(count));
    input.position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t TiffWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t TiffSeek(thandle_t handle, toff_t offset, int whence) {
    TiffInput& input = InputOf(handle);
    // Offsets are unsigned; a step back arrives wrapped and wraps back here.
    const uint64_t base = whence == SEEK_CUR ? input.position : whence == SEEK_END ? input.size : 0;
    input.position = base + offset;
    return input.position;
}

int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t handle) { return InputOf(handle).size; }
int TiffMap(thandle_t, void**, toff_t*) { return 0; }
void TiffUnmap(thandle_t, void*, toff_t) {}

// libtiff reports some mere warnings through its error handler, their text
// starting "Warning" (a tag that disagrees with another, after which it reads
// on): the file is refused, if at all, for what failed after them.
int TiffError(TIFF*, void* user, const char*, const char* format, va_list arguments) {
    auto* input = static_cast<TiffInput*>(user);
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    if (std::strncmp(text, "Warning", 7) != 0) input->message = text;
    return 1;
}

int TiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// Every TIFF that is not plain 8- or 16-bit gray or RGB in strips goes
// through libtiff's own conversion to 8-bit RGBA, colour multiplied by alpha.
bool DecodeTiffAsRgba(TIFF* tiff, uint32_t width, uint32_t height, ImageAssembler& image, std::string& why) {
    char reason[1024] = "";
    if (!TIFFRGBAImageOK(tiff, reason)) {
        why = reason;
        return false;
    }
    SampleLayout layout;
    layout.channels = 4;
    layout.alpha = true;
    layout.premultiplied = true;
    if (!image.Begin(width, height, layout, why)) return false;
    std::vector<uint32_t> raster;
    std::vector<uint8_t> row(image.RowBytes());
    try {
        raster.resize(static_cast<std::size_t>(uint64_t{width} * height));
    } catch (const std::bad_alloc&) {
        why = "not enough memory";
        return false;
    }
    if (!TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 1)) return false;
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* in = raster.data() + static_cast<std::size_t>(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            row[4 * x] = static_cast<uint8_t>(TIFFGetR(in[x]));
            row[4 * x + 1] = static_cast<uint8_t>(TIFFGetG(in[x]));
            row[4 * x + 2] = static_cast<uint8_t>(TIFFGetB(in[x]));
            row[4 * x + 3] = static_cast<uint8_t>(TIFFGetA(in[x]));
        }
        image.PutRow(static_cast<int>(y), row.data());
    }
    return true;
}

}  // namespace

bool DecodeTiff(const uint8_t* data, std::size_t size, ImageAssembler& image, std::string& why) {
    TiffInput input{data, size, 0, std::string()};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        why = "not enough memory";
        return false;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxTiffAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, TiffError, &input);
    TIFFOpenOptionsSetWarningHandlerExtR(options, TiffWarning, &input);
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFClientOpenExt("TIFF", "rm", &input, TiffRead, TiffWrite, TiffSeek,
                                                             TiffClose, TiffSize, TiffMap, TiffUnmap, options));
    TIFFOpenOptionsFree(options);
    bool read = false;
    if (tiff != nullptr) {
        uint32_t width = 0, height = 0;
        uint16_t samples = 1, bits = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
        uint16_t extraCount = 0;
        uint16_t* extraTypes = nullptr;
        TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
        TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLEFORMAT, &format);
        TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
        const bool hasPhotometric = TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric) == 1;
        const int colours = photometric == PHOTOMETRIC_RGB ? 3 : 1;
        const bool plain = hasPhotometric && !TIFFIsTiled(tiff.get()) && planar == PLANARCONFIG_CONTIG &&
                           (bits == 8 || bits == 16) && format == SAMPLEFORMAT_UINT &&
                           (photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_MINISBLACK) &&
                           extraCount <= 1 && samples == colours + extraCount;
        if (!image.CheckSize(width, height, why)) return false;
        if (!plain) {
            read = DecodeTiffAsRgba(tiff.get(), width, height, image, why);
        } else {
            SampleLayout layout;
            layout.channels = samples;
            layout.bits = bits;
            layout.alpha = extraCount == 1;
            layout.premultiplied = extraCount == 1 && extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
            if (!image.Begin(width, height, layout, why)) return false;
            std::vector<uint8_t> row;
            if (static_cast<uint64_t>(TIFFScanlineSize64(tiff.get())) == image.RowBytes()) {
                row.resize(image.RowBytes());
                read = true;
            }
            for (uint32_t y = 0; read && y < height; ++y) {
                read = TIFFReadScanline(tiff.get(), row.data(), y, 0) >= 0;
                if (read) image.PutRow(static_cast<int>(y), row.data());
            }
        }
    }
    if (!read && why.empty()) why = input.message.empty() ? "damaged TIFF" : input.message;
    return read;
}
