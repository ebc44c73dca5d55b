// The native decoders: libpng here, libjpeg-turbo in JpegDecoder_posix.cpp
// and libtiff in TiffDecoder_posix.cpp, each reading from memory and
// reporting through a handler of ours instead of printing or ending the
// process. libpng reports errors by jumping back to a setjmp, so the
// function that sets one holds nothing a destructor must see.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <png.h>

#include "ImageAssembler.h"

namespace {
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
