#include "ImageFile.h"

#include <cstddef>
#include <memory>

// The one place where stb's implementations are compiled.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_FAILURE_USERMSG
#include <stb/stb_image.h>

namespace {
struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

bool AcceptableSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= kMaxArea;
}
}  // namespace

bool ReadImageFile(const std::string& path, RgbPlanes& planes, std::string& error) {
    int width = 0, height = 0, channels = 0;
    if (!stbi_info(path.c_str(), &width, &height, &channels)) {
        error = path + ": " + stbi_failure_reason();
        return false;
    }
    if (!AcceptableSize(width, height)) {
        error = path + ": " + std::to_string(width) + " x " + std::to_string(height) + " is too large";
        return false;
    }
    // Gray with alpha or RGB with alpha comes as four channels, to be put
    // on white; without alpha as three, which saves a large buffer.
    const bool alpha = channels == 2 || channels == 4;
    const int stride = alpha ? 4 : 3;
    std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load(path.c_str(), &width, &height, &channels, stride));
    if (pixels == nullptr) {
        error = path + ": " + stbi_failure_reason();
        return false;
    }
    RgbPlanes read{Plane(width, height), Plane(width, height), Plane(width, height)};
    uint8_t* out[3] = {read.red.MutableData(), read.green.MutableData(), read.blue.MutableData()};
    const std::size_t count = read.red.Size();
    const stbi_uc* in = pixels.get();
    for (std::size_t i = 0; i < count; ++i, in += stride) {
        const unsigned cover = alpha ? in[3] : 255u;
        for (int c = 0; c < 3; ++c)
            out[c][i] = alpha ? static_cast<uint8_t>((in[c] * cover + 255u * (255u - cover) + 127u) / 255u) : in[c];
    }
    planes = std::move(read);
    return true;
}
