// One 8-bit channel of a document: a gray level per pixel, row after row.
// Planes share their pixels until one of them is written (copy on write),
// so handing a channel to a layer mask or a selection costs nothing.
#ifndef LUMACUT_HOST_PLANE_H
#define LUMACUT_HOST_PLANE_H

#include <cstddef>
#include <cstdint>
#include <memory>

class Plane {
public:
    Plane() = default;
    // Throws std::length_error for sizes that are negative, zero or too large
    // to address; the pixels are left unset unless a fill level is given.
    Plane(int width, int height);
    Plane(int width, int height, uint8_t fill);

    bool Empty() const { return pixels_ == nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::size_t Size() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }

    const uint8_t* Data() const { return pixels_.get(); }
    const uint8_t* Row(int y) const { return pixels_.get() + static_cast<std::size_t>(y) * width_; }
    uint8_t At(int x, int y) const { return Row(y)[x]; }
    // Writing access: takes a private copy first when the pixels are shared.
    uint8_t* MutableData();
    uint8_t* MutableRow(int y) { return MutableData() + static_cast<std::size_t>(y) * width_; }
    // For a pass that writes every pixel from the old levels: the pixels to
    // write, and in `source` the levels to read. Shared pixels are not
    // copied first: the pass reads them where they are, kept by their other
    // owners, into fresh pixels of the plane's own; otherwise both are the
    // plane's own pixels.
    uint8_t* PixelsToReplace(const uint8_t*& source);

    bool SharesPixelsWith(const Plane& other) const { return pixels_ != nullptr && pixels_ == other.pixels_; }
    bool SameLevels(const Plane& other) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::shared_ptr<uint8_t[]> pixels_;
};

// The largest document side and area the engine accepts: beyond them the
// byte counts of a plane no longer fit comfortably in a 32-bit process.
constexpr int kMaxSide = 1 << 16;
constexpr std::size_t kMaxArea = std::size_t{1} << 28;

// Whether a plane of this size is accepted: both sides positive and within
// kMaxSide, the area within kMaxArea. The area is taken in 64 bits, where a
// 32-bit process would see 65536 x 65536 wrap to 0.
bool PlaneSizeAccepted(int width, int height);

#endif
