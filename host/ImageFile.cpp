#include "ImageFile.h"

#include <cstddef>
#include <memory>
#include <stdexcept>

// The one place where stb's implementations are compiled.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_FAILURE_USERMSG
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

namespace {
struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

bool AcceptableSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= kMaxArea;
}
}  // namespace

bool ReadImageFile(const std::string& path, RgbImage& image, std::string& error) {
    int width = 0, height = 0, channels = 0;
    if (!stbi_info(path.c_str(), &width, &height, &channels)) {
        error = path + ": " + stbi_failure_reason();
        return false;
    }
    if (!AcceptableSize(width, height)) {
        error = path + ": " + std::to_string(width) + " x " + std::to_string(height) + " is too large";
        return false;
    }
    std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load(path.c_str(), &width, &height, &channels, 4));
    if (rgba == nullptr) {
        error = path + ": " + stbi_failure_reason();
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    image.width = width;
    image.height = height;
    image.pixels.resize(count * 3);
    const stbi_uc* in = rgba.get();
    uint8_t* out = image.pixels.data();
    for (std::size_t i = 0; i < count; ++i, in += 4, out += 3) {
        const unsigned alpha = in[3];
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<uint8_t>((in[c] * alpha + 255u * (255u - alpha) + 127u) / 255u);
    }
    return true;
}

bool WriteGrayPng(const std::string& path, const Plane& plane, std::string& error) {
    if (plane.Empty()) {
        error = path + ": nothing to write";
        return false;
    }
    if (!stbi_write_png(path.c_str(), plane.Width(), plane.Height(), 1, plane.Data(), plane.Width())) {
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}

bool WriteRgbPng(const std::string& path, const RgbImage& image, std::string& error) {
    if (!AcceptableSize(image.width, image.height) ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3) {
        error = path + ": the image has no valid size";
        return false;
    }
    if (!stbi_write_png(path.c_str(), image.width, image.height, 3, image.pixels.data(), image.width * 3)) {
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}

RgbPlanes SplitPlanes(const RgbImage& image) {
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3)
        throw std::invalid_argument("image pixels do not match its size");
    RgbPlanes planes{Plane(image.width, image.height), Plane(image.width, image.height),
                     Plane(image.width, image.height)};
    uint8_t* r = planes.red.MutableData();
    uint8_t* g = planes.green.MutableData();
    uint8_t* b = planes.blue.MutableData();
    const uint8_t* in = image.pixels.data();
    const std::size_t count = planes.red.Size();
    for (std::size_t i = 0; i < count; ++i, in += 3) {
        r[i] = in[0];
        g[i] = in[1];
        b[i] = in[2];
    }
    return planes;
}

RgbImage JoinPlanes(const RgbPlanes& planes) {
    RgbImage image;
    image.width = planes.red.Width();
    image.height = planes.red.Height();
    const std::size_t count = planes.red.Size();
    image.pixels.resize(count * 3);
    uint8_t* out = image.pixels.data();
    for (std::size_t i = 0; i < count; ++i, out += 3) {
        out[0] = planes.red.Data()[i];
        out[1] = planes.green.Data()[i];
        out[2] = planes.blue.Data()[i];
    }
    return image;
}
