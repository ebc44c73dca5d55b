// The luminosity kept for the runs on one image: shared from the second
// request for a composite on, and given back when the host is done with it.
#include <gtest/gtest.h>

#include "host/engine/LuminosityCache.h"

namespace {
TEST(LuminosityCache, KeptFromTheSecondRequestUntilForgotten) {
    const RgbPlanes composite{Plane(4, 3, 10), Plane(4, 3, 200), Plane(4, 3, 40)};
    CachedLuminosity(composite);
    const Plane kept = CachedLuminosity(composite);
    EXPECT_TRUE(CachedLuminosity(composite).SharesPixelsWith(kept));
    ForgetCachedLuminosity();
    const Plane again = CachedLuminosity(composite);
    EXPECT_FALSE(again.SharesPixelsWith(kept)) << "forgotten, yet still held";
    EXPECT_TRUE(again.SameLevels(kept));
}
}  // namespace
