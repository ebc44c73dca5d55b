// The native decoders: libjpeg-turbo, libpng and libtiff, each reading from
// memory and reporting through a handler of ours instead of printing or
// ending the process. libjpeg and libpng report errors by jumping back to a
// setjmp, so the functions that set one hold nothing a destructor must see.
#include <algorithm>
#include <csetjmp>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

// libjpeg's headers need size_t and FILE declared before them.
#include <jpeglib.h>
#include <jerror.h>
#include <png.h>
#include <tiffio.h>

#include "ImageAssembler.h"

namespace {
// A progressive JPEG may hold any number of scans, each a pass over the
// whole image; real files have about ten. Far more is only a way to make the
// decoder spin.
constexpr int kMaxJpegScans = 256;
// libtiff allocates strips and tiles as their tags say; no sane strip of an
// image within the engine's limits is larger.
constexpr tmsize_t kMaxTiffAllocation = tmsize_t{256} << 20;

struct JpegFailure {
    jpeg_error_mgr manager;  // first: libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegFail(j_common_ptr info) {
    auto* failure = reinterpret_cast<JpegFailure*>(info->err);
    (*info->err->format_message)(info, failure->message);
    std::longjmp(failure->jump, 1);
}

// Damaged data is only a warning to libjpeg, which fills the rest with gray;
// a mask made of that gray would look like a result, so it ends the read.
void JpegWarning(j_common_ptr info, int level) {
    if (level >= 0) return;
    const int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HUFF_BAD_CODE || code == JWRN_MUST_RESYNC || code == JWRN_HIT_MARKER)
        JpegFail(info);
}

void JpegProgress(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxJpegScans) return;
    auto* failure = reinterpret_cast<JpegFailure*>(info->err);
    std::snprintf(failure->message, sizeof failure->message, "more than %d progressive scans", kMaxJpegScans);
    std::longjmp(failure->jump, 1);
}

bool DecodeJpeg(const uint8_t* data, std::size_t size, ImageAssembler& image, std::string& why) {
    jpeg_decompress_struct info;
    JpegFailure failure;
    jpeg_progress_mgr progress{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = JpegFail;
    failure.manager.emit_message = JpegWarning;
    failure.message[0] = '\0';
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        why = failure.message;
        return false;
    }
    jpeg_create_decompress(&info);
    progress.progress_monitor = JpegProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    SampleLayout layout;
    layout.channels = info.jpeg_color_space == JCS_GRAYSCALE ? 1 : 3;
    info.out_color_space = layout.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    if (!image.Begin(info.image_width, info.image_height, layout, why)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(image.RowBytes()), 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, row, 1);
        image.PutRow(y, row[0]);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

struct PngInput {
    const uint8_t* data;
    std::size_t size;
    std::size_t position;
    char message[256];
};

void PngRead(png_structp png, png_bytep out, std::size_t length) {
    auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
    if (length > input->size - input->position) png_error(png, "the file ends early");
    std::memcpy(out, input->data + input->position, length);
    input->position += length;
}

[[noreturn]] void PngFail(png_structp png, png_const_charp message) {
    auto* input = static_cast<PngInput*>(png_get_error_ptr(png));
    std::snprintf(input->message, sizeof input->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings are about ancillary chunks libpng skips; the pixels are whole.
void PngWarning(png_structp, png_const_charp) {}

bool DecodePng(const uint8_t* data, std::size_t size, ImageAssembler& image, std::string& why) {
    PngInput input{data, size, 0, ""};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, PngFail, PngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        why = "not enough memory";
        return false;
    }
    png_bytep volatile pixels = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_free(png, pixels);
        png_destroy_read_struct(&png, &info, nullptr);
        why = input.message;
        return false;
    }
    png_set_read_fn(png, &input, PngRead);
    // Checksums are not what makes a photograph readable; the reader used
    // before did not check them either, and the data's own checks remain.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (!image.CheckSize(width, height, why)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_expand(png);  // palettes, gray below 8 bits and transparency chunks become samples
    if (png_get_bit_depth(png, info) == 16 && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) png_set_swap(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    SampleLayout layout;
    layout.channels = png_get_channels(png, info);
    layout.bits = png_get_bit_depth(png, info);
    layout.alpha = layout.channels == 2 || layout.channels == 4;
    if (!image.Begin(width, height, layout, why)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != image.RowBytes()) png_error(png, "unexpected row size");
    // Interlaced rows are complete only after the last pass, so they need
    // the whole image; others go to the planes one row at a time.
    const uint64_t rows = passes > 1 ? height : 1;
    if (uint64_t{rowBytes} * rows > SIZE_MAX / 2) png_error(png, "image too large for this process");
    pixels = static_cast<png_bytep>(png_malloc_warn(png, static_cast<png_alloc_size_t>(rowBytes * rows)));
    if (pixels == nullptr) png_error(png, "not enough memory");
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) {
            png_bytep row = pixels + (passes > 1 ? rowBytes * y : 0);
            png_read_row(png, row, nullptr);
            if (pass == passes - 1) image.PutRow(static_cast<int>(y), row);
        }
    png_free(png, pixels);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

struct TiffInput {
    const uint8_t* data;
    uint64_t size;
    uint64_t position;
    std::string message;  // libtiff's first complaint
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

int TiffError(TIFF*, void* user, const char*, const char* format, va_list arguments) {
    auto* input = static_cast<TiffInput*>(user);
    if (input->message.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        input->message = text;
    }
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
}  // namespace

bool DecodeWithPlatform(ImageFormat format, const uint8_t* data, std::size_t size, ImageAssembler& image,
                        std::string& why) {
    switch (format) {
        case ImageFormat::Jpeg:
            return DecodeJpeg(data, size, image, why);
        case ImageFormat::Png:
            return DecodePng(data, size, image, why);
        case ImageFormat::Tiff:
            return DecodeTiff(data, size, image, why);
        default:
            why = "no decoder for this format";
            return false;
    }
}
