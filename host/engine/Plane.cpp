#include "Plane.h"

#include <cstring>
#include <stdexcept>

#include "PlaneMemory.h"
#include "host/common/CheckedSize.h"

namespace {
std::shared_ptr<uint8_t[]> Allocate(int width, int height) {
    if (!PlaneSizeAccepted(width, height)) throw std::length_error("plane size out of range");
    const std::size_t bytes = SizeFor(Product64(static_cast<uint64_t>(width), static_cast<uint64_t>(height)));
    // Left uninitialised on purpose: every producer writes each byte, and
    // zeroing a large plane first would cost a whole extra pass.
    // Should the control block fail, shared_ptr hands the pixels to the deleter itself.
    return std::shared_ptr<uint8_t[]>(AllocatePlaneBytes(bytes), [bytes](uint8_t* p) { FreePlaneBytes(p, bytes); });
}
}  // namespace

bool PlaneSizeAccepted(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           Product64(static_cast<uint64_t>(width), static_cast<uint64_t>(height)) <= kMaxArea;
}

Plane::Plane(int width, int height) : width_(width), height_(height), pixels_(Allocate(width, height)) {}

Plane::Plane(int width, int height, uint8_t fill) : Plane(width, height) {
    std::memset(pixels_.get(), fill, Size());
}

uint8_t* Plane::MutableData() {
    if (pixels_ != nullptr && pixels_.use_count() > 1) {
        std::shared_ptr<uint8_t[]> own = Allocate(width_, height_);
        std::memcpy(own.get(), pixels_.get(), Size());
        pixels_ = std::move(own);
    }
    return pixels_.get();
}

uint8_t* Plane::PixelsToReplace(const uint8_t*& source) {
    source = pixels_.get();
    if (pixels_ != nullptr && pixels_.use_count() > 1) pixels_ = Allocate(width_, height_);
    return pixels_.get();
}

bool Plane::SameLevels(const Plane& other) const {
    if (width_ != other.width_ || height_ != other.height_) return false;
    if (Empty() || other.Empty()) return Empty() == other.Empty();
    return pixels_ == other.pixels_ || std::memcmp(pixels_.get(), other.pixels_.get(), Size()) == 0;
}
