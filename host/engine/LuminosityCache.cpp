#include "LuminosityCache.h"

#include <mutex>

#include "PixelOps.h"

namespace {
struct Kept {
    std::mutex lock;
    RgbPlanes composite;  // the last seen
    Plane luminosity;     // its luminosity, once it was seen twice
};

// Never destroyed: letting go of its planes at exit would only cost time.
Kept& Cache() {
    static Kept* kept = new Kept;
    return *kept;
}

bool SamePixels(const RgbPlanes& a, const RgbPlanes& b) {
    return a.red.SharesPixelsWith(b.red) && a.green.SharesPixelsWith(b.green) && a.blue.SharesPixelsWith(b.blue);
}
}  // namespace

Plane CachedLuminosity(const RgbPlanes& composite) {
    Kept& kept = Cache();
    std::lock_guard<std::mutex> hold(kept.lock);
    const bool seen = SamePixels(composite, kept.composite);
    if (seen && !kept.luminosity.Empty()) return kept.luminosity;
    // Let go first, so that the old and the new are never held at once.
    kept.luminosity = Plane();
    Plane luminosity = Luminosity(composite.red, composite.green, composite.blue);
    kept.composite = composite;
    if (seen) kept.luminosity = luminosity;
    return luminosity;
}

void ForgetCachedLuminosity() {
    Kept& kept = Cache();
    std::lock_guard<std::mutex> hold(kept.lock);
    kept.luminosity = Plane();
    kept.composite = RgbPlanes();
}
