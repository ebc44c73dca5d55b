// Between the image decoders and the document: decoded rows of any sample
// layout become three 8-bit planes. Rounding 16-bit samples and putting
// transparent pixels on white happen here, once, so that the native and the
// Windows decoders give the same levels for the same samples.
#ifndef LUMACUT_HOST_IMAGE_ASSEMBLER_H
#define LUMACUT_HOST_IMAGE_ASSEMBLER_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/engine/Document.h"
#include "ImageFile.h"
#include "host/engine/Plane.h"

// How a decoder hands over one row of pixels.
struct SampleLayout {
    int channels = 3;            // samples per pixel: 1 gray, 2 gray and alpha, 3 colour, 4 colour and alpha
    int bits = 8;                // 8, or 16 as uint16_t in the machine's byte order
    bool bgr = false;            // colour comes blue first (Windows' order)
    bool alpha = false;          // the last of 2 or 4 samples is coverage; otherwise a 4th sample is padding
    bool premultiplied = false;  // colour already multiplied by coverage
};

class ImageAssembler {
public:
    explicit ImageAssembler(std::size_t maxArea = kMaxArea) : maxArea_(maxArea) {}
    // Checks the size the header gives, then allocates the planes. Sizes come
    // as 64-bit numbers so that no header can wrap them. Returns false with a
    // message (no file name) for sizes the engine refuses or memory it lacks.
    bool Begin(int64_t width, int64_t height, const SampleLayout& layout, std::string& error);
    // The size check of Begin alone, for readers that learn more of the
    // file before they know its layout.
    bool CheckSize(int64_t width, int64_t height, std::string& error);
    // Whether the image was refused for its size, not for its bytes.
    bool Refused() const { return refused_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes of one row as the decoder hands it over.
    std::size_t RowBytes() const;
    void PutRow(int y, const uint8_t* samples);
    RgbPlanes Take() { return std::move(planes_); }

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t maxArea_;
    bool refused_ = false;
    SampleLayout layout_;
    RgbPlanes planes_;
};

// The message for a header size the engine refuses, or empty when it is fine.
std::string ImageSizeProblem(int64_t width, int64_t height, std::size_t maxArea = kMaxArea);

// Decodes JPEG, PNG or TIFF bytes with the platform's decoders; `why` says
// what was wrong, in the decoder's words.
bool DecodeWithPlatform(ImageFormat format, const uint8_t* data, std::size_t size, ImageAssembler& image,
                        std::string& why);
// The native half's JPEG and TIFF readers, in files of their own.
bool DecodeJpeg(const uint8_t* data, std::size_t size, ImageAssembler& image, std::string& why);
bool DecodeTiff(const uint8_t* data, std::size_t size, ImageAssembler& image, std::string& why);

#endif
