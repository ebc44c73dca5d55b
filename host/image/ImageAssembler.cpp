#include "ImageAssembler.h"

#include <new>
#include <stdexcept>

namespace {
// A 16-bit level to the nearest 8-bit one: 65535 / 255 = 257 steps apart.
inline uint8_t Reduce16(uint32_t level) { return static_cast<uint8_t>((level * 255u + 32767u) / 65535u); }

// Colour `c` with coverage `a` on white, all at full scale `top`, rounded.
inline uint32_t OnWhite(uint32_t c, uint32_t a, uint32_t top, bool premultiplied) {
    if (premultiplied) {
        const uint32_t level = c + (top - a);
        return level > top ? top : level;  // colour above its coverage is malformed: white, not a wrap
    }
    return static_cast<uint32_t>((uint64_t{c} * a + uint64_t{top} * (top - a) + top / 2) / top);
}

template <typename Sample>
inline uint8_t To8(uint32_t level) {
    return sizeof(Sample) == 1 ? static_cast<uint8_t>(level) : Reduce16(level);
}

template <typename Sample>
void ConvertRow(const Sample* in, int width, const SampleLayout& layout, uint8_t* red, uint8_t* green,
                uint8_t* blue) {
    const int step = layout.channels;
    const bool colour = step >= 3;
    // Where red, green and blue sit within a pixel; gray serves all three.
    const int r = colour ? (layout.bgr ? 2 : 0) : 0, g = colour ? 1 : 0, b = colour ? (layout.bgr ? 0 : 2) : 0;
    if (!layout.alpha && sizeof(Sample) == 1) {
        for (int x = 0; x < width; ++x, in += step) {
            red[x] = static_cast<uint8_t>(in[r]);
            green[x] = static_cast<uint8_t>(in[g]);
            blue[x] = static_cast<uint8_t>(in[b]);
        }
        return;
    }
    const uint32_t top = sizeof(Sample) == 1 ? 255u : 65535u;
    for (int x = 0; x < width; ++x, in += step) {
        uint32_t levels[3] = {in[r], in[g], in[b]};
        if (layout.alpha) {
            const uint32_t cover = in[step - 1];
            for (uint32_t& level : levels) level = OnWhite(level, cover, top, layout.premultiplied);
        }
        red[x] = To8<Sample>(levels[0]);
        green[x] = To8<Sample>(levels[1]);
        blue[x] = To8<Sample>(levels[2]);
    }
}
}  // namespace

std::string ImageSizeProblem(int64_t width, int64_t height, std::size_t maxArea) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0) return "the image has no pixels (" + size + ")";
    if (width > kMaxSide || height > kMaxSide || width * height > static_cast<int64_t>(maxArea))
        return size + " is larger than " + std::to_string(kMaxSide) + " pixels a side or " +
               std::to_string(maxArea / 1000000) + " megapixels";
    return std::string();
}

bool ImageAssembler::CheckSize(int64_t width, int64_t height, std::string& error) {
    error = ImageSizeProblem(width, height, maxArea_);
    refused_ = !error.empty();
    return !refused_;
}

bool ImageAssembler::Begin(int64_t width, int64_t height, const SampleLayout& layout, std::string& error) {
    if (!CheckSize(width, height, error)) return false;
    if (layout.channels < 1 || layout.channels > 4 || (layout.bits != 8 && layout.bits != 16) ||
        (layout.alpha && layout.channels % 2 != 0)) {
        error = "a sample layout this reader does not handle";
        return false;
    }
    try {
        const int w = static_cast<int>(width), h = static_cast<int>(height);
        planes_ = RgbPlanes{Plane(w, h), Plane(w, h), Plane(w, h)};
        width_ = w;
        height_ = h;
        layout_ = layout;
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    planes_ = RgbPlanes{};
    refused_ = true;
    error = "not enough memory for " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    return false;
}

std::size_t ImageAssembler::RowBytes() const {
    return static_cast<std::size_t>(width_) * static_cast<std::size_t>(layout_.channels) *
           static_cast<std::size_t>(layout_.bits / 8);
}

void ImageAssembler::PutRow(int y, const uint8_t* samples) {
    if (y < 0 || y >= height_) return;
    uint8_t* red = planes_.red.MutableRow(y);
    uint8_t* green = planes_.green.MutableRow(y);
    uint8_t* blue = planes_.blue.MutableRow(y);
    if (layout_.bits == 16)
        ConvertRow(reinterpret_cast<const uint16_t*>(samples), width_, layout_, red, green, blue);
    else
        ConvertRow(samples, width_, layout_, red, green, blue);
}
