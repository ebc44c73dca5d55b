#include "Plane.h"

#include <cstring>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "PlaneMemory.h"
#include "host/common/CheckedSize.h"

namespace {
// Large planes whose last owner let go, kept for the next plane of their
// size. A fresh buffer's pages are faulted in by the kernel on first touch,
// which on a virtual machine costs as much as a pixel pass over them; the
// runs of one image free and make planes of one size over and over. One is
// kept: the mask a writer has finished with, taken by the next run.
constexpr std::size_t kPooledBytes = std::size_t{1} << 20;
constexpr std::size_t kPooledPlanes = 1;

struct PlanePool {
    std::mutex lock;
    std::vector<std::pair<std::size_t, uint8_t*>> kept;
};

// Never destroyed: a plane may be let go of while the program exits.
PlanePool& Pool() {
    static PlanePool* pool = new PlanePool;
    return *pool;
}

void Release(uint8_t* pixels, std::size_t bytes) noexcept {
    if (bytes >= kPooledBytes) {
        PlanePool& pool = Pool();
        std::lock_guard<std::mutex> hold(pool.lock);
        if (pool.kept.size() < kPooledPlanes) {
            pool.kept.emplace_back(bytes, pixels);
            return;
        }
    }
    FreePlaneBytes(pixels, bytes);
}

uint8_t* Reuse(std::size_t bytes) {
    if (bytes < kPooledBytes) return nullptr;
    PlanePool& pool = Pool();
    std::lock_guard<std::mutex> hold(pool.lock);
    for (auto kept = pool.kept.begin(); kept != pool.kept.end(); ++kept) {
        if (kept->first != bytes) continue;
        uint8_t* pixels = kept->second;
        pool.kept.erase(kept);
        return pixels;
    }
    return nullptr;
}

std::shared_ptr<uint8_t[]> Allocate(int width, int height) {
    if (!PlaneSizeAccepted(width, height)) throw std::length_error("plane size out of range");
    const std::size_t bytes = SizeFor(Product64(static_cast<uint64_t>(width), static_cast<uint64_t>(height)));
    // Left uninitialised on purpose: every producer writes each byte, and
    // zeroing a large plane first would cost a whole extra pass.
    uint8_t* pixels = Reuse(bytes);
    if (pixels == nullptr) pixels = AllocatePlaneBytes(bytes);
    try {
        return std::shared_ptr<uint8_t[]>(pixels, [bytes](uint8_t* p) { Release(p, bytes); });
    } catch (...) {
        Release(pixels, bytes);
        throw;
    }
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
